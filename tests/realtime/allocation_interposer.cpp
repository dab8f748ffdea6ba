// Plain builds: the program's own malloc family, forwarding to glibc's, and
// operator new/delete routed through it, so every allocation is seen.
#include <errno.h>

#include <cstddef>
#include <new>

#include "allocation_tracker.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);

void* malloc(std::size_t size) {
    allocation_tracker::note_allocation();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size) {
    allocation_tracker::note_allocation();
    return __libc_calloc(count, size);
}

void* realloc(void* block, std::size_t size) {
    allocation_tracker::note_allocation();
    return __libc_realloc(block, size);
}

void* memalign(std::size_t alignment, std::size_t size) {
    allocation_tracker::note_allocation();
    return __libc_memalign(alignment, size);
}

void* aligned_alloc(std::size_t alignment, std::size_t size) { return memalign(alignment, size); }

int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
    void* p = memalign(alignment, size);
    if (!p) return ENOMEM;
    *block = p;
    return 0;
}

void free(void* block) {
    if (block) allocation_tracker::note_release();
    __libc_free(block);
}
}

void* operator new(std::size_t size) {
    if (void* p = malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* p = memalign(static_cast<std::size_t>(alignment), size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, std::size_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t) noexcept { free(block); }
void operator delete(void* block, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { free(block); }
