#include "vst3/utf16.h"

namespace vst3 {

void copy_utf16(char16_t* out, std::size_t capacity, const char* text) {
    if (capacity == 0) return;
    std::size_t n = 0;
    for (; n + 1 < capacity && text[n] != '\0'; ++n) out[n] = static_cast<unsigned char>(text[n]);
    out[n] = u'\0';
}

bool narrow_ascii(const char16_t* text, char* out, std::size_t capacity) {
    for (std::size_t n = 0; n < capacity; ++n) {
        if (text[n] > 0x7F) return false;
        out[n] = static_cast<char>(text[n]);
        if (text[n] == u'\0') return true;
    }
    return false;
}

}  // namespace vst3
