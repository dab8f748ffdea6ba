// The vector primitives: argument checks here, arithmetic in the active set.
#include <cmath>

#include "dsp/dsp.h"
#include "dsp/dsp_kernel_table.h"

namespace {

int check(const void* a, int len) {
    if (a == nullptr) return dsp_err_null;
    return len <= 0 ? dsp_err_size : dsp_ok;
}

int check(const void* a, const void* b, int len) {
    if (a == nullptr || b == nullptr) return dsp_err_null;
    return len <= 0 ? dsp_err_size : dsp_ok;
}

}  // namespace

int dsp_set(float value, float* dst, int len) {
    if (int s = check(dst, len)) return s;
    dsp_active_kernels().set(value, dst, len);
    return dsp_ok;
}

int dsp_copy(const float* src, float* dst, int len) {
    if (int s = check(src, dst, len)) return s;
    dsp_active_kernels().copy(src, dst, len);
    return dsp_ok;
}

int dsp_add_inplace(const float* src, float* srcdst, int len) {
    if (int s = check(src, srcdst, len)) return s;
    dsp_active_kernels().add(src, srcdst, len);
    return dsp_ok;
}

int dsp_mul_inplace(const float* src, float* srcdst, int len) {
    if (int s = check(src, srcdst, len)) return s;
    dsp_active_kernels().mul(src, srcdst, len);
    return dsp_ok;
}

int dsp_scale(float value, const float* src, float* dst, int len) {
    if (int s = check(src, dst, len)) return s;
    if (value == 1.0f) {
        if (src != dst) dsp_active_kernels().copy(src, dst, len);
    } else if (value == 0.0f) {
        // Zeros even where the data holds infinities or NaN.
        dsp_active_kernels().set(0.0f, dst, len);
    } else {
        dsp_active_kernels().scale(value, src, dst, len);
    }
    return dsp_ok;
}

int dsp_reverse_inplace(float* buf, int len) {
    if (int s = check(buf, len)) return s;
    dsp_active_kernels().reverse(buf, len);
    return dsp_ok;
}

int dsp_hann_inplace(float* buf, int len) {
    if (buf == nullptr) return dsp_err_null;
    if (len < 3) return dsp_err_size;
    const double step = 2.0 * 3.14159265358979323846 / (len - 1);
    for (int n = 0; n <= (len - 1) / 2; ++n) {
        const int mirror = len - 1 - n;
        const double factor = 0.5 * (1.0 - std::cos(step * n));
        buf[n] = static_cast<float>(buf[n] * factor);
        if (mirror != n) buf[mirror] = static_cast<float>(buf[mirror] * factor);
    }
    return dsp_ok;
}

int dsp_complex_mul_sum(const float* const* src1, const float* const* src2, int terms, float* dst, int count) {
    if (src1 == nullptr || src2 == nullptr || dst == nullptr) return dsp_err_null;
    if (terms < 1 || count <= 0) return dsp_err_size;
    for (int j = 0; j < terms; ++j)
        if (src1[j] == nullptr || src2[j] == nullptr) return dsp_err_null;
    dsp_active_kernels().complex_mul_sum(src1, src2, terms, dst, count);
    return dsp_ok;
}
