// Direct-form IIR filters, run in the transposed direct form II. The delay
// line holds `order` values: the filter's memory after the last sample.
#include <cstddef>
#include <new>

#include "dsp/dsp.h"

namespace {
constexpr unsigned iir_magic = 0x54564949u;
}

struct dsp_iir_state {
    unsigned magic;
    int order;
    float* b;        // order + 1 feed-forward taps, divided by a0
    float* a;        // order + 1 feedback taps, divided by a0 (a[0] is 1)
    double* memory;  // order values, double so long responses stay accurate
};

namespace {

bool valid(const dsp_iir_state* s) { return s != nullptr && s->magic == iir_magic; }

void load_delay(dsp_iir_state* s, const float* delay_line) {
    for (int k = 0; k < s->order; ++k) s->memory[k] = delay_line != nullptr ? delay_line[k] : 0.0;
}

// The caller has checked a0 != 0.
void load_taps(dsp_iir_state* s, const float* taps) {
    const std::size_t count = std::size_t(s->order) + 1;
    const float a0 = taps[count];
    for (std::size_t k = 0; k < count; ++k) {
        s->b[k] = taps[k] / a0;
        s->a[k] = taps[count + k] / a0;
    }
}

void release(dsp_iir_state* s) {
    s->magic = 0;
    delete[] s->b;
    delete[] s->memory;
    delete s;
}

}  // namespace

int dsp_iir_create(dsp_iir_state** state, const float* taps, int order, const float* delay_line) {
    if (state == nullptr || taps == nullptr) return dsp_err_null;
    if (order <= 0) return dsp_err_iir_order;
    const std::size_t count = std::size_t(order) + 1;  // no int overflow near INT_MAX
    if (taps[count] == 0.0f) return dsp_err_div_by_zero;
    auto* s = new (std::nothrow) dsp_iir_state{iir_magic, order, nullptr, nullptr, nullptr};
    if (s == nullptr) return dsp_err_memory;
    s->b = new (std::nothrow) float[2 * count];
    s->memory = new (std::nothrow) double[count - 1];
    if (s->b == nullptr || s->memory == nullptr) {
        release(s);
        return dsp_err_memory;
    }
    s->a = s->b + order + 1;
    load_taps(s, taps);
    load_delay(s, delay_line);
    *state = s;
    return dsp_ok;
}

int dsp_iir_set_taps(const float* taps, dsp_iir_state* state) {
    if (taps == nullptr || state == nullptr) return dsp_err_null;
    if (!valid(state)) return dsp_err_context;
    if (taps[std::size_t(state->order) + 1] == 0.0f) return dsp_err_div_by_zero;
    load_taps(state, taps);
    return dsp_ok;
}

int dsp_iir_set_delay(dsp_iir_state* state, const float* delay_line) {
    if (state == nullptr) return dsp_err_null;
    if (!valid(state)) return dsp_err_context;
    load_delay(state, delay_line);
    return dsp_ok;
}

int dsp_iir_filter_inplace(float* buf, int len, dsp_iir_state* state) {
    if (buf == nullptr || state == nullptr) return dsp_err_null;
    if (!valid(state)) return dsp_err_context;
    if (len <= 0) return dsp_err_size;
    const int order = state->order;
    const float *b = state->b, *a = state->a;
    double* z = state->memory;
    for (int n = 0; n < len; ++n) {
        const double x = buf[n];
        const double y = b[0] * x + z[0];
        for (int k = 1; k < order; ++k) z[k - 1] = z[k] + b[k] * x - a[k] * y;
        z[order - 1] = b[order] * x - a[order] * y;
        buf[n] = static_cast<float>(y);
    }
    return dsp_ok;
}

int dsp_iir_free(dsp_iir_state* state) {
    if (state == nullptr) return dsp_err_null;
    if (!valid(state)) return dsp_err_context;
    release(state);
    return dsp_ok;
}
