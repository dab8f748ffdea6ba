// The 8-character number format of the parameter displays, and the bounded
// copy into a host's text buffer.
#pragma once

namespace core {

// Copies at most max_len characters of src, zero-fills the rest of the
// first max_len bytes and stores a zero at position max_len: the buffer
// receives max_len + 1 bytes.
void copy_bounded(char* dst, const char* src, int max_len);
// Digits truncated, never rounded, within 8 characters; "Huge!" beyond.
void float2string(float value, char* text, int max_len);
// 20·log10(value) in the same format; "-oo" at 0 and below.
void dB2string(float value, char* text, int max_len);

}  // namespace core
