// The thread that shows posted messages, and how it is woken: the part of
// post_message_box that differs by OS.
#pragma once

#ifndef _WIN32
#include <pthread.h>
#include <semaphore.h>
#endif

namespace platform {

class message_delivery_thread {
public:
    constexpr message_delivery_thread() = default;

    // Makes what wake needs; call before start, and before anyone may wake.
    // False on failure.
    bool open();
    // Runs run(context) on a new thread. False when none could be made.
    bool start(void (*run)(void* context), void* context);
    // Lock-free and allocation-free: callable from the audio thread.
    void wake();
    // On the delivery thread: returns after at least one wake.
    void wait_for_wake();
    // Waits until run has returned and releases the thread and the wake-up.
    void join();

private:
#ifdef _WIN32
    static unsigned long __stdcall run_delivery(void* self);  // DWORD WINAPI
#else
    static void* run_delivery(void* self);
#endif

    void (*run_)(void*) = nullptr;
    void* context_ = nullptr;
#ifdef _WIN32
    void* thread_ = nullptr;  // HANDLEs
    void* wake_ = nullptr;
#else
    pthread_t thread_{};
    sem_t wake_{};
#endif
};

}  // namespace platform
