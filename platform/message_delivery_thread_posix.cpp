#include "platform/message_delivery_thread.h"

#include <cerrno>

namespace platform {

void* message_delivery_thread::run_delivery(void* self) {
    auto* thread = static_cast<message_delivery_thread*>(self);
    thread->run_(thread->context_);
    return nullptr;
}

bool message_delivery_thread::open() { return sem_init(&wake_, 0, 0) == 0; }

bool message_delivery_thread::start(void (*run)(void* context), void* context) {
    run_ = run;
    context_ = context;
    return pthread_create(&thread_, nullptr, run_delivery, this) == 0;
}

void message_delivery_thread::wake() { sem_post(&wake_); }

void message_delivery_thread::wait_for_wake() {
    while (sem_wait(&wake_) != 0 && errno == EINTR) {
    }
}

void message_delivery_thread::join() {
    pthread_join(thread_, nullptr);
    sem_destroy(&wake_);
}

}  // namespace platform
