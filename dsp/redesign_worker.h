// The thread that turns band changes into a new FIR: it sleeps until woken,
// then runs one pass of its owner's redesign, as often as it is woken.
//
// Threads: construction, stop and destruction on the owner's thread; wake
// from any thread, the audio thread included (it sets an event: a lock held
// for a few instructions, no allocation); the pass on the worker's own
// thread, at the lowest priority. A pass that returns false ends the thread.
#pragma once

#include <atomic>
#include <functional>

namespace platform {
struct auto_reset_event;
struct thread;
}  // namespace platform

namespace dsp {

class redesign_worker {
public:
    // Throws the "Thread creation error ..." message of the step that failed.
    explicit redesign_worker(std::function<bool()> pass);
    // Stops the thread if stop has not; a worker that cannot be woken is
    // left running (see stop).
    ~redesign_worker();
    redesign_worker(const redesign_worker&) = delete;
    redesign_worker& operator=(const redesign_worker&) = delete;

    // Throws "Thread error (SetEvent)..." when the event cannot be set.
    void wake();
    // Ends the thread after its pass and joins it. When it cannot be woken
    // it throws like wake, and the thread, still waiting, may touch its
    // owner at any later time: the owner must then never be freed.
    void stop();
    bool left_running() const { return left_running_; }

private:
    static unsigned thread_main(void* self);

    std::function<bool()> pass_;
    std::atomic<bool> running_{true};
    platform::auto_reset_event* wake_event_ = nullptr;
    platform::thread* thread_ = nullptr;
    bool left_running_ = false;
};

}  // namespace dsp
