#include <pthread.h>
#include <semaphore.h>

#include <atomic>
#include <cerrno>

#include "platform/message_box.h"
#include "platform/posted_message_ring.h"

namespace platform {

namespace {

enum class delivery_state { idle, starting, running, unavailable };

// Constant-initialised, so posting works before any static constructor has
// run; its destructor ends the delivery thread when the process exits or the
// shared object is unloaded, before any of its code goes away.
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
            sem_post(&wake_);
        }
    }

    void start() {
        auto expected = delivery_state::idle;
        if (!state_.compare_exchange_strong(expected, delivery_state::starting)) return;
        sem_init(&wake_, 0, 0);
        state_ = delivery_state::running;
        // Not through create_suspended_thread: tests inject faults into that
        // and expect the plug-in's own worker to be the one that fails.
        if (pthread_create(&thread_, nullptr, deliver, this) != 0) state_ = delivery_state::unavailable;
    }

    void flush() {
        start();
        if (state_ == delivery_state::running) {
            ring_.wait_until_empty();
        } else {
            ring_.deliver_pending(show_message_box);
        }
    }

private:
    static void* deliver(void* self) {
        auto* messages = static_cast<posted_messages*>(self);
        for (;;) {
            messages->ring_.deliver_pending(show_message_box);
            if (messages->stopping_) return nullptr;
            while (sem_wait(&messages->wake_) != 0 && errno == EINTR) {
            }
        }
    }

    void stop() {
        if (state_ != delivery_state::running) return;
        stopping_ = true;
        sem_post(&wake_);
        pthread_join(thread_, nullptr);
        sem_destroy(&wake_);
        state_ = delivery_state::unavailable;
    }

    posted_message_ring ring_;
    std::atomic<delivery_state> state_{delivery_state::idle};
    std::atomic<bool> stopping_{false};
    sem_t wake_{};
    pthread_t thread_{};
};

constinit posted_messages the_posted_messages;

}  // namespace

void start_message_delivery() { the_posted_messages.start(); }

void post_message_box(const message& m) { the_posted_messages.post(m); }

void flush_posted_messages() { the_posted_messages.flush(); }

}  // namespace platform
