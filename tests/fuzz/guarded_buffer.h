// Host memory handed to the plug-in: a buffer of the requested size inside a
// poisoned arena, so that ASan stops any access one byte before or after it.
#pragma once

#include <cstddef>

class guarded_buffer {
public:
    static constexpr std::size_t max_size = 64 * 1024;

    guarded_buffer();
    ~guarded_buffer();
    guarded_buffer(const guarded_buffer&) = delete;
    guarded_buffer& operator=(const guarded_buffer&) = delete;

    // Makes exactly `size` bytes (at most max_size) accessible, filled with
    // `fill`, and returns them; the previous buffer becomes inaccessible.
    unsigned char* place(std::size_t size, unsigned char fill);
    unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    unsigned char* arena_;
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};
