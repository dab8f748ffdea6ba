#include "platform/message_delivery_thread.h"

#include <windows.h>

namespace platform {

DWORD WINAPI message_delivery_thread::run_delivery(void* self) {
    auto* thread = static_cast<message_delivery_thread*>(self);
    thread->run_(thread->context_);
    return 0;
}

bool message_delivery_thread::open() {
    wake_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return wake_ != nullptr;
}

bool message_delivery_thread::start(void (*run)(void* context), void* context) {
    run_ = run;
    context_ = context;
    // A thread still waiting in a library that FreeLibrary unmaps would
    // return into nothing, and DllMain cannot wait for it to end (the loader
    // lock is held). So the library stays loaded until the process exits,
    // when Windows ends the thread before the library's destructors run.
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&message_delivery_thread::run_delivery), &self)) {
        return false;
    }
    thread_ = CreateThread(nullptr, 0, run_delivery, this, 0, nullptr);
    return thread_ != nullptr;
}

void message_delivery_thread::wake() { SetEvent(wake_); }

void message_delivery_thread::wait_for_wake() { WaitForSingleObject(wake_, INFINITE); }

void message_delivery_thread::join() {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    CloseHandle(wake_);
}

}  // namespace platform
