#include <vector>

#include "dsp_test_support.h"

using namespace dsp_test;

namespace {

// Direct evaluation of y[n] = sum b_k x[n-k] - sum a_k y[n-k], a0 = 1.
std::vector<double> reference_filter(const std::vector<double>& b, const std::vector<double>& a,
                                     const std::vector<float>& x) {
    std::vector<double> y(x.size());
    for (std::size_t n = 0; n < x.size(); ++n) {
        double acc = 0.0;
        for (std::size_t k = 0; k < b.size() && k <= n; ++k) acc += b[k] * x[n - k];
        for (std::size_t k = 1; k < a.size() && k <= n; ++k) acc -= a[k] * y[n - k];
        y[n] = acc;
    }
    return y;
}

// A resonant biquad, given with a0 = 2 so the division by a0 matters.
const std::vector<float> biquad_taps = {0.2f, 0.4f, 0.2f, 2.0f, -1.2f, 0.5f};
const std::vector<double> biquad_b = {0.1, 0.2, 0.1}, biquad_a = {1.0, -0.6, 0.25};

struct iir_holder {
    dsp_iir_state* state = nullptr;
    explicit iir_holder(const std::vector<float>& taps, int order = 2) {
        EXPECT_EQ(dsp_iir_create(&state, taps.data(), order, nullptr), dsp_ok);
    }
    ~iir_holder() { dsp_iir_free(state); }
};

TEST(iir, filters_with_the_taps_divided_by_a0) {
    iir_holder h(biquad_taps);
    const std::vector<float> x = random_floats(1000, 1);
    guarded_buffer buf(1000);
    std::copy(x.begin(), x.end(), buf.data());
    ASSERT_EQ(dsp_iir_filter_inplace(buf.data(), 1000, h.state), dsp_ok);
    EXPECT_LT(relative_rms_error(buf.contents(), reference_filter(biquad_b, biquad_a, x)), 1e-6);
    EXPECT_TRUE(buf.guards_intact());
}

TEST(iir, consecutive_calls_continue_the_delay_line_and_set_delay_null_restarts_from_silence) {
    iir_holder h(biquad_taps);
    const std::vector<float> x = random_floats(600, 2);
    std::vector<float> split = x;
    ASSERT_EQ(dsp_iir_filter_inplace(split.data(), 250, h.state), dsp_ok);
    ASSERT_EQ(dsp_iir_filter_inplace(split.data() + 250, 350, h.state), dsp_ok);
    EXPECT_LT(relative_rms_error(split, reference_filter(biquad_b, biquad_a, x)), 1e-6);

    ASSERT_EQ(dsp_iir_set_delay(h.state, nullptr), dsp_ok);
    std::vector<float> again = x;
    ASSERT_EQ(dsp_iir_filter_inplace(again.data(), 600, h.state), dsp_ok);
    EXPECT_EQ(again, split);
}

TEST(iir, set_taps_with_a0_zero_fails_and_keeps_the_previous_taps) {
    iir_holder h(biquad_taps);
    const std::vector<float> zero_a0 = {1.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.5f};
    EXPECT_EQ(dsp_iir_set_taps(zero_a0.data(), h.state), dsp_err_div_by_zero);
    const std::vector<float> x = random_floats(300, 3);
    std::vector<float> y = x;
    ASSERT_EQ(dsp_iir_filter_inplace(y.data(), 300, h.state), dsp_ok);
    EXPECT_LT(relative_rms_error(y, reference_filter(biquad_b, biquad_a, x)), 1e-6);
}

TEST(iir, a_given_delay_line_is_the_initial_memory) {
    // y[n] = x[n] + 0.5 y[n-1]: with memory 2 the impulse response starts at 3.
    dsp_iir_state* state = nullptr;
    const float taps[] = {1.0f, 0.0f, 1.0f, -0.5f}, memory[] = {2.0f};
    ASSERT_EQ(dsp_iir_create(&state, taps, 1, memory), dsp_ok);
    float buf[3] = {1.0f, 0.0f, 0.0f};
    ASSERT_EQ(dsp_iir_filter_inplace(buf, 3, state), dsp_ok);
    EXPECT_FLOAT_EQ(buf[0], 3.0f);
    EXPECT_FLOAT_EQ(buf[1], 1.5f);
    EXPECT_FLOAT_EQ(buf[2], 0.75f);
    dsp_iir_free(state);
}

TEST(iir, bad_arguments_are_rejected_without_writing) {
    dsp_iir_state* const untouched = reinterpret_cast<dsp_iir_state*>(std::uintptr_t(0x1234));
    dsp_iir_state* state = untouched;
    EXPECT_EQ(dsp_iir_create(nullptr, biquad_taps.data(), 2, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_iir_create(&state, nullptr, 2, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_iir_create(&state, biquad_taps.data(), 0, nullptr), dsp_err_iir_order);
    EXPECT_EQ(dsp_iir_create(&state, biquad_taps.data(), -2, nullptr), dsp_err_iir_order);
    const std::vector<float> zero_a0 = {1.0f, 1.0f, 1.0f, 0.0f, 0.5f, 0.5f};
    EXPECT_EQ(dsp_iir_create(&state, zero_a0.data(), 2, nullptr), dsp_err_div_by_zero);
    EXPECT_EQ(state, untouched);

    iir_holder h(biquad_taps);
    guarded_buffer buf(4, 1.0f);
    EXPECT_EQ(dsp_iir_filter_inplace(buf.data(), 0, h.state), dsp_err_size);
    EXPECT_EQ(dsp_iir_filter_inplace(nullptr, 4, h.state), dsp_err_null);
    EXPECT_EQ(dsp_iir_filter_inplace(buf.data(), 4, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_iir_set_taps(nullptr, h.state), dsp_err_null);
    EXPECT_EQ(dsp_iir_set_taps(biquad_taps.data(), nullptr), dsp_err_null);
    EXPECT_EQ(dsp_iir_set_delay(nullptr, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_iir_free(nullptr), dsp_err_null);

    alignas(16) unsigned char impostor[64] = {};
    auto* wrong = reinterpret_cast<dsp_iir_state*>(impostor);
    EXPECT_EQ(dsp_iir_filter_inplace(buf.data(), 4, wrong), dsp_err_context);
    EXPECT_EQ(dsp_iir_set_taps(biquad_taps.data(), wrong), dsp_err_context);
    EXPECT_EQ(dsp_iir_set_delay(wrong, nullptr), dsp_err_context);
    EXPECT_EQ(dsp_iir_free(wrong), dsp_err_context);
    EXPECT_EQ(buf.contents(), std::vector<float>(4, 1.0f));
}

}  // namespace
