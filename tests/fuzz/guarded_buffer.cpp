#include "guarded_buffer.h"

#include <sanitizer/asan_interface.h>

#include <cstdlib>
#include <cstring>

namespace {

// Room for a redzone on either side of the largest buffer.
constexpr std::size_t kRedzone = 64;
constexpr std::size_t kArenaSize = guarded_buffer::max_size + 2 * kRedzone;

}  // namespace

guarded_buffer::guarded_buffer() : arena_(static_cast<unsigned char*>(std::aligned_alloc(64, kArenaSize))) {
    ASAN_POISON_MEMORY_REGION(arena_, kArenaSize);
}

guarded_buffer::~guarded_buffer() {
    ASAN_UNPOISON_MEMORY_REGION(arena_, kArenaSize);
    std::free(arena_);
}

unsigned char* guarded_buffer::place(std::size_t size, unsigned char fill) {
    if (size > max_size) size = max_size;
    ASAN_POISON_MEMORY_REGION(arena_, kArenaSize);
    // The buffer ends where the poison starts; ASan tracks a partial last
    // granule exactly, so an overrun of one byte is caught. Poison starts on
    // an 8-byte boundary, so the start is too.
    data_ = arena_ + kRedzone;
    size_ = size;
    ASAN_UNPOISON_MEMORY_REGION(data_, size_);
    std::memset(data_, fill, size_);
    return data_;
}
