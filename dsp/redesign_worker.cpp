#include "dsp/redesign_worker.h"

#include <stdexcept>

#include "platform/event.h"
#include "platform/thread.h"

namespace dsp {

namespace {

constexpr const char* kSetEventFailure = "Thread error (SetEvent). Processing will be disabled and plugin locked.";

}  // namespace

redesign_worker::redesign_worker(std::function<bool()> pass) : pass_(std::move(pass)) {
    wake_event_ = platform::create_auto_reset_event();
    if (!wake_event_)
        throw std::runtime_error(
            "Thread creation error #2 (CreateEvent). Processing will be disabled and plugin locked.");
    const char* failure = nullptr;
    thread_ = platform::create_suspended_thread(thread_main, this);
    if (!thread_)
        failure = "Thread creation error #1 (Instantiation). Processing will be disabled and plugin locked.";
    else if (!platform::set_lowest_priority(thread_))
        failure =
            "Thread creation error #2 (failed setting priority class). Processing will be disabled and plugin "
            "locked.";
    if (!failure) {
        platform::set_thread_name(thread_, "IR Thread 1");
        if (!platform::resume_thread(thread_))
            failure = "Thread creation error #3 (ResumeThread). Processing will be disabled and plugin locked.";
    }
    if (failure) {
        // A thread that was never resumed is discarded without running.
        if (thread_) platform::close_thread(thread_);
        platform::close_event(wake_event_);
        throw std::runtime_error(failure);
    }
}

redesign_worker::~redesign_worker() {
    try {
        stop();
    } catch (const std::runtime_error&) {
        // left running: its owner knows from left_running()
    }
}

void redesign_worker::wake() {
    if (!platform::set_event(wake_event_)) throw std::runtime_error(kSetEventFailure);
}

void redesign_worker::stop() {
    if (!thread_ || left_running_) return;
    running_ = false;
    if (!platform::set_event(wake_event_)) {
        left_running_ = true;
        throw std::runtime_error(kSetEventFailure);
    }
    platform::join_thread(thread_);
    platform::close_thread(thread_);
    thread_ = nullptr;
    platform::close_event(wake_event_);
    wake_event_ = nullptr;
}

unsigned redesign_worker::thread_main(void* self) {
    auto& worker = *static_cast<redesign_worker*>(self);
    for (;;) {
        platform::wait_event(worker.wake_event_);
        if (!worker.running_) return 1;
        if (!worker.pass_()) return 1;
    }
}

}  // namespace dsp
