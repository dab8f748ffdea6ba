#include "platform/message_box.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/clock.h"
#include "platform/message_delivery_thread.h"
#include "platform/message_presentation.h"
#include "platform/posted_message_ring.h"

namespace platform {

namespace {

struct message_outlets {
    std::mutex mutex;
    message_sink sink;
    message_presenter presenter;
};

// Declared before the delivery of posted messages, so it is destroyed after
// that thread has ended.
message_outlets outlets;

enum class delivery_state { idle, starting, running, unavailable };

// Constant-initialised, so posting needs no static constructor to have run;
// its destructor ends the delivery thread when the process exits or the
// library is unloaded, before any of its code goes away.
class posted_messages {
public:
    constexpr posted_messages() = default;
    ~posted_messages() { stop(); }

    void post(const message& m) {
        ring_.post(m);
        // Seen together with the start's store: either this post wakes the
        // thread, or the thread, not yet waiting, finds the message itself.
        if (state_ == delivery_state::idle) {
            start();
        } else if (state_ == delivery_state::running) {
            thread_.wake();
        }
    }

    void start() {
        auto expected = delivery_state::idle;
        if (!state_.compare_exchange_strong(expected, delivery_state::starting)) return;
        if (!thread_.open()) {
            state_ = delivery_state::unavailable;
            return;
        }
        state_ = delivery_state::running;
        // Not through create_suspended_thread: tests inject faults into that
        // and expect the plug-in's own worker to be the one that fails.
        if (!thread_.start(deliver, this)) state_ = delivery_state::unavailable;
    }

    void flush() {
        start();
        while (state_ == delivery_state::starting) sleep_ms(1);  // another thread's start
        if (state_ == delivery_state::running) {
            // Polled: std::atomic's wait would pin the plug-in in memory
            // through a unique symbol of the C++ library, so it never unloads.
            while (!ring_.empty()) sleep_ms(1);
        } else {
            ring_.deliver_pending(show_message_box);
        }
    }

private:
    static void deliver(void* self) {
        auto* messages = static_cast<posted_messages*>(self);
        for (;;) {
            messages->ring_.deliver_pending(show_message_box);
            if (messages->stopping_) return;
            messages->thread_.wait_for_wake();
        }
    }

    void stop() {
        if (state_ != delivery_state::running) return;
        stopping_ = true;
        thread_.wake();
        thread_.join();
        state_ = delivery_state::unavailable;
    }

    posted_message_ring ring_;
    std::atomic<delivery_state> state_{delivery_state::idle};
    std::atomic<bool> stopping_{false};
    message_delivery_thread thread_;
};

constinit posted_messages the_posted_messages;

}  // namespace

bool record_message(const message& m) {
    std::fprintf(stderr, "%s: %s\n", m.caption.c_str(), m.text.c_str());
    message_sink sink;
    {
        std::lock_guard lock(outlets.mutex);
        sink = outlets.sink;
    }
    const char* const log = std::getenv("TESSVANE_MESSAGE_LOG");
    if (sink) {
        sink(m);
    } else if (log != nullptr && *log != '\0') {
        append_message_to_log(log, m);
    } else {
        return false;
    }
    return true;
}

std::string with_suffix(const std::string& text, const char* suffix) {
    std::string joined = text;
    joined.insert(std::min(text.find('\n'), text.size()), suffix);
    return joined;
}

void show_message_box(const message& m) {
    if (record_message(m)) return;
    message_presenter presenter;
    {
        std::lock_guard lock(outlets.mutex);
        presenter = outlets.presenter;
    }
    if (presenter) {
        presenter(m);
    } else {
        present_message_natively(m);
    }
}

void set_message_sink(message_sink sink) {
    std::lock_guard lock(outlets.mutex);
    outlets.sink = std::move(sink);
}

void set_message_presenter(message_presenter presenter) {
    std::lock_guard lock(outlets.mutex);
    outlets.presenter = std::move(presenter);
}

void start_message_delivery() { the_posted_messages.start(); }

void post_message_box(const message& m) { the_posted_messages.post(m); }

void flush_posted_messages() { the_posted_messages.flush(); }

}  // namespace platform
