#include "platform/thread.h"

#include <windows.h>

#include <atomic>
#include <new>
#include <string>

#include "platform/fault_injection.h"

namespace platform {

namespace {

// Handed to the new thread, which owns it from its first instruction on, so
// the handle can be closed while the procedure runs.
struct launch {
    thread_proc proc;
    void* arg;
    std::atomic<bool> abandoned{false};
};

DWORD WINAPI run_launch(LPVOID context) {
    auto* start = static_cast<launch*>(context);
    const thread_proc proc = start->proc;
    void* const arg = start->arg;
    const bool abandoned = start->abandoned;
    delete start;
    return abandoned ? 0 : proc(arg);
}

// Windows 10 1607 and later; older systems and Wine builds without it keep
// their threads unnamed.
using set_thread_description_function = HRESULT(WINAPI*)(HANDLE, PCWSTR);

set_thread_description_function find_set_thread_description() {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return nullptr;
    const FARPROC found = GetProcAddress(kernel, "SetThreadDescription");
    return reinterpret_cast<set_thread_description_function>(reinterpret_cast<void (*)()>(found));
}

}  // namespace

struct thread {
    HANDLE handle = nullptr;
    launch* start = nullptr;  // the thread's own once resumed
    bool resumed = false;
    bool joined = false;
};

thread* create_suspended_thread(thread_proc proc, void* arg) {
    if (should_fail(fault::thread_create)) return nullptr;
    auto* t = new (std::nothrow) thread;
    auto* start = new (std::nothrow) launch{proc, arg};
    if (t != nullptr && start != nullptr) {
        t->start = start;
        t->handle = CreateThread(nullptr, 0, run_launch, start, CREATE_SUSPENDED, nullptr);
        if (t->handle != nullptr) return t;
    }
    delete start;
    delete t;
    return nullptr;
}

bool set_lowest_priority(thread* t) {
    if (should_fail(fault::thread_priority)) return false;
    return SetThreadPriority(t->handle, THREAD_PRIORITY_LOWEST) != FALSE;
}

void set_thread_name(thread* t, const char* name) {
    static const set_thread_description_function set_description = find_set_thread_description();
    if (set_description == nullptr) return;
    const int length = MultiByteToWideChar(CP_UTF8, 0, name, -1, nullptr, 0);
    if (length <= 0) return;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide.data(), length);
    set_description(t->handle, wide.c_str());
}

bool resume_thread(thread* t) {
    if (should_fail(fault::thread_resume)) return false;
    if (t->resumed) return true;
    if (ResumeThread(t->handle) == static_cast<DWORD>(-1)) return false;
    t->resumed = true;
    return true;
}

void join_thread(thread* t) {
    if (t->joined) return;
    WaitForSingleObject(t->handle, INFINITE);
    t->joined = true;
}

void close_thread(thread* t) {
    if (t == nullptr) return;
    if (!t->resumed) {
        // Let it run just far enough to see that it was abandoned; a thread
        // killed from outside could leave a lock of the C library held.
        t->start->abandoned = true;
        if (ResumeThread(t->handle) != static_cast<DWORD>(-1)) join_thread(t);
    }
    CloseHandle(t->handle);
    delete t;
}

unsigned long current_thread_id() { return GetCurrentThreadId(); }

}  // namespace platform
