#include "platform/critical_section.h"

#include <windows.h>

namespace platform {

struct critical_section::impl {
    impl() { InitializeCriticalSection(&section); }
    ~impl() { DeleteCriticalSection(&section); }
    impl(const impl&) = delete;
    impl& operator=(const impl&) = delete;

    CRITICAL_SECTION section;
};

critical_section::critical_section() : impl_(std::make_unique<impl>()) {}
critical_section::~critical_section() = default;

void critical_section::enter() { EnterCriticalSection(&impl_->section); }
void critical_section::leave() { LeaveCriticalSection(&impl_->section); }

}  // namespace platform
