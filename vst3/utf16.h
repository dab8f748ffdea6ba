// Host-facing strings in VST3 are UTF-16. Ours are ASCII; a host's typed
// text is taken as far as it is ASCII.
#pragma once

#include <cstddef>

namespace vst3 {

// Copies text into a buffer of `capacity` UTF-16 units, cut to fit, always
// zero-terminated.
void copy_utf16(char16_t* out, std::size_t capacity, const char* text);
template <std::size_t N>
void copy_utf16(char16_t (&out)[N], const char* text) {
    copy_utf16(out, N, text);
}

// Narrows a zero-terminated UTF-16 text into out (capacity bytes with the
// zero); false when it is not all ASCII or does not fit.
bool narrow_ascii(const char16_t* text, char* out, std::size_t capacity);

}  // namespace vst3
