// Sanitized builds: the sanitizer's allocator serves malloc, new and their
// kin, and calls these hooks for each of them.
#include <cstddef>

#include "allocation_tracker.h"

extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*on_allocation)(const volatile void*, std::size_t),
                                                         void (*on_release)(const volatile void*));

namespace {

void on_allocation(const volatile void*, std::size_t) { allocation_tracker::note_allocation(); }
void on_release(const volatile void*) { allocation_tracker::note_release(); }

const int hooks_installed = __sanitizer_install_malloc_and_free_hooks(on_allocation, on_release);

}  // namespace
