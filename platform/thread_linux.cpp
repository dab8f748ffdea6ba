#include "platform/thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>

#include "platform/fault_injection.h"

namespace platform {

namespace {

// THREAD_PRIORITY_LOWEST is two steps below normal; two nice steps mirror it.
constexpr int lowest_priority_nice_step = 2;
constexpr int weakest_nice = 19;

enum class gate_state { starting, parked, released, abandoned, running };

}  // namespace

struct thread {
    thread(thread_proc p, void* a) : proc(p), arg(a) {}

    thread_proc proc;
    void* arg;
    pthread_t handle{};
    pid_t tid = 0;
    bool joined = false;
    std::mutex mutex;
    std::condition_variable changed;
    gate_state gate = gate_state::starting;
};

namespace {

void wait_for_gate(std::unique_lock<std::mutex>& lock, thread* t, gate_state state) {
    t->changed.wait(lock, [&] { return t->gate == state; });
}

void* run_behind_gate(void* context) {
    auto* t = static_cast<thread*>(context);
    std::unique_lock lock(t->mutex);
    t->tid = gettid();
    t->gate = gate_state::parked;
    t->changed.notify_all();
    t->changed.wait(lock, [t] { return t->gate != gate_state::parked; });
    if (t->gate == gate_state::abandoned) return nullptr;
    const thread_proc proc = t->proc;
    void* const arg = t->arg;
    // From here on the handle may be closed while the procedure runs.
    t->gate = gate_state::running;
    t->changed.notify_all();
    lock.unlock();
    proc(arg);
    return nullptr;
}

}  // namespace

thread* create_suspended_thread(thread_proc proc, void* arg) {
    if (should_fail(fault::thread_create)) return nullptr;
    auto* t = new (std::nothrow) thread(proc, arg);
    if (t == nullptr) return nullptr;
    if (pthread_create(&t->handle, nullptr, run_behind_gate, t) != 0) {
        delete t;
        return nullptr;
    }
    // The thread's id is needed to lower its priority before it runs.
    std::unique_lock lock(t->mutex);
    wait_for_gate(lock, t, gate_state::parked);
    return t;
}

bool set_lowest_priority(thread* t) {
    if (should_fail(fault::thread_priority)) return false;
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(t->tid));
    if (nice == -1 && errno != 0) return false;
    const int lowered = std::min(nice + lowest_priority_nice_step, weakest_nice);
    return setpriority(PRIO_PROCESS, static_cast<id_t>(t->tid), lowered) == 0;
}

void set_thread_name(thread* t, const char* name) {
    // The kernel keeps 15 characters and refuses longer names outright.
    char kept[16] = {};
    std::strncpy(kept, name, sizeof kept - 1);
    pthread_setname_np(t->handle, kept);
}

bool resume_thread(thread* t) {
    if (should_fail(fault::thread_resume)) return false;
    std::lock_guard lock(t->mutex);
    if (t->gate == gate_state::parked) {
        t->gate = gate_state::released;
        t->changed.notify_all();
    }
    return true;
}

void join_thread(thread* t) {
    if (t->joined) return;
    pthread_join(t->handle, nullptr);
    t->joined = true;
}

void close_thread(thread* t) {
    if (t == nullptr) return;
    std::unique_lock lock(t->mutex);
    if (t->gate == gate_state::parked) {
        t->gate = gate_state::abandoned;
        t->changed.notify_all();
        lock.unlock();
        join_thread(t);
    } else if (!t->joined) {
        // Like closing a Win32 handle: the thread runs on by itself.
        wait_for_gate(lock, t, gate_state::running);
        lock.unlock();
        pthread_detach(t->handle);
    } else {
        lock.unlock();
    }
    delete t;
}

unsigned long current_thread_id() { return static_cast<unsigned long>(gettid()); }

}  // namespace platform
