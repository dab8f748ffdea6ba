#include "platform/critical_section.h"

#include <mutex>

namespace platform {

struct critical_section::impl {
    std::recursive_mutex mutex;
};

critical_section::critical_section() : impl_(std::make_unique<impl>()) {}
critical_section::~critical_section() = default;

void critical_section::enter() { impl_->mutex.lock(); }
void critical_section::leave() { impl_->mutex.unlock(); }

}  // namespace platform
