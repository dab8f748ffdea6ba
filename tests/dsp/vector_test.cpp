#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "dsp_test_support.h"

using namespace dsp_test;

namespace {

// Awkward tails, and the real sizes: the largest block and FIR, the engine's
// spectra of L + 2 complex values.
const std::vector<int> awkward_lengths = {1,  2,  3,  4,  5,  6,  7,  8,   9,    10,    11,
                                          12, 13, 14, 15, 16, 31, 64, 511, 4099, 65538, 131072};

guarded_buffer filled(const std::vector<float>& values) {
    guarded_buffer b(int(values.size()));
    std::copy(values.begin(), values.end(), b.data());
    return b;
}

class vector_per_variant : public per_variant {};

TEST_P(vector_per_variant, set_copy_add_and_mul_are_exact_at_awkward_lengths) {
    for (int len : awkward_lengths) {
        SCOPED_TRACE(len);
        const std::vector<float> a = random_floats(len, 1), b = random_floats(len, 2);
        guarded_buffer set_dst(len);
        ASSERT_EQ(dsp_set(0.25f, set_dst.data(), len), dsp_ok);
        EXPECT_EQ(set_dst.contents(), std::vector<float>(std::size_t(len), 0.25f));

        guarded_buffer copy_dst(len);
        ASSERT_EQ(dsp_copy(a.data(), copy_dst.data(), len), dsp_ok);
        EXPECT_EQ(copy_dst.contents(), a);

        guarded_buffer sum = filled(b), product = filled(b);
        ASSERT_EQ(dsp_add_inplace(a.data(), sum.data(), len), dsp_ok);
        ASSERT_EQ(dsp_mul_inplace(a.data(), product.data(), len), dsp_ok);
        for (int k = 0; k < len; ++k) {
            ASSERT_EQ(sum[k], b[k] + a[k]);
            ASSERT_EQ(product[k], a[k] * b[k]);
        }
        EXPECT_TRUE(set_dst.guards_intact() && copy_dst.guards_intact() && sum.guards_intact() &&
                    product.guards_intact());
    }
}

TEST_P(vector_per_variant, scale_multiplies_except_that_one_touches_nothing_and_zero_writes_zeros) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (int len : awkward_lengths) {
        SCOPED_TRACE(len);
        const std::vector<float> a = random_floats(len, 3);
        guarded_buffer scaled = filled(a);
        ASSERT_EQ(dsp_scale_inplace(-1.5f, scaled.data(), len), dsp_ok);
        for (int k = 0; k < len; ++k) ASSERT_EQ(scaled[k], -1.5f * a[k]);

        std::vector<float> special(std::size_t(len), nan);
        special[0] = inf;
        guarded_buffer by_one = filled(special), by_zero = filled(special);
        ASSERT_EQ(dsp_scale_inplace(1.0f, by_one.data(), len), dsp_ok);
        ASSERT_EQ(dsp_scale_inplace(0.0f, by_zero.data(), len), dsp_ok);
        for (int k = 0; k < len; ++k) {
            ASSERT_TRUE(guarded_buffer::same_bits(by_one[k], special[std::size_t(k)]));
            ASSERT_EQ(by_zero[k], 0.0f);
        }
        EXPECT_TRUE(scaled.guards_intact() && by_one.guards_intact() && by_zero.guards_intact());
    }
}

TEST_P(vector_per_variant, reverse_mirrors_the_buffer_and_keeps_an_odd_middle_in_place) {
    for (int len : awkward_lengths) {
        std::vector<float> a = random_floats(len, 4);
        guarded_buffer buf = filled(a);
        ASSERT_EQ(dsp_reverse_inplace(buf.data(), len), dsp_ok);
        std::reverse(a.begin(), a.end());
        EXPECT_EQ(buf.contents(), a) << len;
        EXPECT_TRUE(buf.guards_intact());
    }
}

TEST_P(vector_per_variant, complex_products_match_double_precision_also_in_place) {
    for (int count : awkward_lengths) {
        SCOPED_TRACE(count);
        const std::vector<float> a = random_floats(2 * count, 5), b = random_floats(2 * count, 6),
                                 c = random_floats(2 * count, 7);
        guarded_buffer product(2 * count), accumulated = filled(c), in_place = filled(a);
        ASSERT_EQ(dsp_complex_mul(a.data(), b.data(), product.data(), count), dsp_ok);
        ASSERT_EQ(dsp_complex_mul_add(a.data(), b.data(), accumulated.data(), count), dsp_ok);
        ASSERT_EQ(dsp_complex_mul(in_place.data(), b.data(), in_place.data(), count), dsp_ok);
        for (int k = 0; k < count; ++k) {
            const cplx want = cplx(a[2 * k], a[2 * k + 1]) * cplx(b[2 * k], b[2 * k + 1]);
            const cplx sum = want + cplx(c[2 * k], c[2 * k + 1]);
            ASSERT_NEAR(product[2 * k], want.real(), 1e-6);
            ASSERT_NEAR(product[2 * k + 1], want.imag(), 1e-6);
            ASSERT_NEAR(accumulated[2 * k], sum.real(), 1e-6);
            ASSERT_NEAR(accumulated[2 * k + 1], sum.imag(), 1e-6);
            ASSERT_EQ(in_place[2 * k], product[2 * k]);
            ASSERT_EQ(in_place[2 * k + 1], product[2 * k + 1]);
        }
        EXPECT_TRUE(product.guards_intact() && accumulated.guards_intact() && in_place.guards_intact());
    }
}

TEST_P(vector_per_variant, bad_lengths_and_null_pointers_are_rejected_without_writing) {
    guarded_buffer a(8, 2.0f), b(8, 3.0f);
    for (int len : {0, -1}) {
        EXPECT_EQ(dsp_set(1.0f, a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_copy(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_add_inplace(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_mul_inplace(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_scale_inplace(0.0f, a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_reverse_inplace(a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_complex_mul(b.data(), b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_complex_mul_add(b.data(), b.data(), a.data(), len), dsp_err_size);
    }
    EXPECT_EQ(dsp_set(1.0f, nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_copy(nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_copy(b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_add_inplace(nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_mul_inplace(b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_scale_inplace(0.0f, nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_reverse_inplace(nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_hann_inplace(nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul(nullptr, b.data(), a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul(b.data(), nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul(b.data(), b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul_add(b.data(), b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul_add(nullptr, b.data(), a.data(), 4), dsp_err_null);
    for (int len : {2, 1, 0, -3}) EXPECT_EQ(dsp_hann_inplace(a.data(), len), dsp_err_size);
    EXPECT_EQ(a.contents(), std::vector<float>(8, 2.0f));
    EXPECT_EQ(b.contents(), std::vector<float>(8, 3.0f));
    EXPECT_TRUE(a.guards_intact() && b.guards_intact());
}

INSTANTIATE_TEST_SUITE_P(variants, vector_per_variant, testing::ValuesIn(supported_variants()), variant_label);

TEST(hann, short_windows_have_their_exact_values) {
    const std::vector<std::vector<float>> want = {{0, 1, 0}, {0, 0.75f, 0.75f, 0}, {0, 0.5f, 1, 0.5f, 0}};
    for (const auto& w : want) {
        guarded_buffer buf(int(w.size()), 1.0f);
        ASSERT_EQ(dsp_hann_inplace(buf.data(), buf.size()), dsp_ok);
        EXPECT_EQ(buf.contents(), w);
        EXPECT_TRUE(buf.guards_intact());
    }
}

TEST(hann, a_length_three_window_keeps_the_middle_value) {
    guarded_buffer buf = filled({4.0f, -7.25f, 9.0f});
    ASSERT_EQ(dsp_hann_inplace(buf.data(), 3), dsp_ok);
    EXPECT_EQ(buf.contents(), (std::vector<float>{0.0f, -7.25f, 0.0f}));
}

TEST(hann, long_windows_are_symmetric_double_precision_products) {
    for (int len : {6, 511, 8192, 131072}) {
        const std::vector<float> x = random_floats(len, unsigned(len));
        guarded_buffer buf = filled(x), ones(len, 1.0f);
        ASSERT_EQ(dsp_hann_inplace(buf.data(), len), dsp_ok);
        ASSERT_EQ(dsp_hann_inplace(ones.data(), len), dsp_ok);
        for (int n = 0; n < len; ++n) {
            const double factor = 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * n / (len - 1)));
            ASSERT_NEAR(buf[n], float(x[std::size_t(n)] * factor), 1e-7) << len << " " << n;
            ASSERT_EQ(ones[n], ones[len - 1 - n]) << len << " " << n;
        }
    }
}

}  // namespace
