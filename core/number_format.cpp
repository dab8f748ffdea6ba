#include <cmath>
#include <cstring>

#include "core/number_format.h"

namespace core {

namespace {

// Appends at most max_len characters of src to text and stores a zero at
// position max_len of the buffer.
void append_bounded(char* text, const char* src, int max_len) {
    const int used = static_cast<int>(strnlen(text, static_cast<std::size_t>(max_len)));
    const int room = max_len - used;
    int n = 0;
    while (n < room && src[n] != '\0') {
        text[used + n] = src[n];
        ++n;
    }
    text[used + n] = '\0';
    text[max_len] = '\0';
}

constexpr int budget = 8;  // characters, sign and decimal point included

// Numbers whose integer part fills the whole budget are shown without a
// decimal point, so no digit is lost.
void write_integer_only(double magnitude, bool negative, char* text, int max_len) {
    char scratch[16];
    int pos = sizeof scratch - 1;
    scratch[pos] = '\0';
    double integ = std::floor(magnitude);
    do {
        scratch[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
        integ = std::floor(integ / 10.0);
    } while (integ >= 1.0 && pos > 1);
    if (negative) scratch[--pos] = '-';
    copy_bounded(text, scratch + pos, max_len);
}

}  // namespace

void copy_bounded(char* dst, const char* src, int max_len) {
    int n = 0;
    while (n < max_len && src[n] != '\0') {
        dst[n] = src[n];
        ++n;
    }
    std::memset(dst + n, 0, static_cast<std::size_t>(max_len - n + 1));
}

void float2string(float value, char* text, int max_len) {
    double v = value;
    if (std::isnan(v)) {
        // A host may hand us anything; NaN has no digits to show.
        copy_bounded(text, "NaN", max_len);
        return;
    }
    bool negative = false;
    int count = 0;
    if (v < 0) {
        negative = true;
        v = -v;
        count = 1;
        if (v > 9999999.0) {
            copy_bounded(text, "Huge!", max_len);
            return;
        }
    } else if (v > 99999999.0) {
        copy_bounded(text, "Huge!", max_len);
        return;
    }
    if (v >= (negative ? 1000000.0 : 10000000.0)) {
        write_integer_only(v, negative, text, max_len);
        return;
    }

    // Integer part, built from the right.
    char scratch[32];
    int pos = sizeof scratch - 1;
    scratch[pos] = '\0';
    scratch[--pos] = '.';
    ++count;
    double integ = std::floor(v);
    scratch[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
    integ /= 10.0;
    ++count;
    while (integ >= 1.0 && count < budget) {
        scratch[--pos] = static_cast<char>('0' + static_cast<int>(std::fmod(integ, 10.0)));
        integ /= 10.0;
        ++count;
    }
    if (negative) scratch[--pos] = '-';
    copy_bounded(text, scratch + pos, max_len);
    if (count >= budget) return;

    // Fraction: truncated digits, never rounded.
    const int n = budget - count;
    double mantissa = std::fmod(v, 1.0) * std::pow(10.0, n);
    char digits[budget + 1];
    digits[n] = '\0';
    for (int i = n - 1; i >= 0; --i) {
        if (mantissa <= 0) {
            digits[i] = '0';
        } else {
            digits[i] = static_cast<char>('0' + static_cast<int>(std::fmod(mantissa, 10.0)));
            mantissa /= 10.0;
        }
    }
    append_bounded(text, digits, max_len);
}

void dB2string(float value, char* text, int max_len) {
    if (value <= 0) {
        copy_bounded(text, "-oo", max_len);
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(static_cast<double>(value))), text, max_len);
}

}  // namespace core
