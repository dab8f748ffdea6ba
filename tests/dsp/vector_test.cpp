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

TEST_P(vector_per_variant, scale_multiplies_in_place_or_out_except_that_one_copies_and_zero_writes_zeros) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    for (int len : awkward_lengths) {
        SCOPED_TRACE(len);
        const std::vector<float> a = random_floats(len, 3);
        guarded_buffer scaled = filled(a), scaled_out(len);
        ASSERT_EQ(dsp_scale(-1.5f, scaled.data(), scaled.data(), len), dsp_ok);
        ASSERT_EQ(dsp_scale(0.25f, a.data(), scaled_out.data(), len), dsp_ok);
        for (int k = 0; k < len; ++k) {
            ASSERT_EQ(scaled[k], -1.5f * a[k]);
            ASSERT_EQ(scaled_out[k], 0.25f * a[k]);
        }

        std::vector<float> special(std::size_t(len), nan);
        special[0] = inf;
        guarded_buffer by_one = filled(special), by_one_out(len), by_zero = filled(special);
        ASSERT_EQ(dsp_scale(1.0f, by_one.data(), by_one.data(), len), dsp_ok);
        ASSERT_EQ(dsp_scale(1.0f, special.data(), by_one_out.data(), len), dsp_ok);
        ASSERT_EQ(dsp_scale(0.0f, by_zero.data(), by_zero.data(), len), dsp_ok);
        for (int k = 0; k < len; ++k) {
            ASSERT_TRUE(guarded_buffer::same_bits(by_one[k], special[std::size_t(k)]));
            ASSERT_TRUE(guarded_buffer::same_bits(by_one_out[k], special[std::size_t(k)]));
            ASSERT_EQ(by_zero[k], 0.0f);
        }
        EXPECT_TRUE(scaled.guards_intact() && scaled_out.guards_intact() && by_one.guards_intact() &&
                    by_one_out.guards_intact() && by_zero.guards_intact());
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

TEST_P(vector_per_variant, sums_of_complex_products_match_double_precision_also_in_place) {
    for (int count : awkward_lengths) {
        SCOPED_TRACE(count);
        std::vector<std::vector<float>> a, b;
        for (unsigned j = 0; j < 4; ++j) {
            a.push_back(random_floats(2 * count, 5 + j));
            b.push_back(random_floats(2 * count, 9 + j));
        }
        const float* as[4] = {a[0].data(), a[1].data(), a[2].data(), a[3].data()};
        const float* bs[4] = {b[0].data(), b[1].data(), b[2].data(), b[3].data()};
        for (int terms = 1; terms <= 4; ++terms) {
            SCOPED_TRACE(terms);
            guarded_buffer sum(2 * count), in_place = filled(a[0]);
            ASSERT_EQ(dsp_complex_mul_sum(as, bs, terms, sum.data(), count), dsp_ok);
            const float* in_place_as[4] = {in_place.data(), as[1], as[2], as[3]};
            ASSERT_EQ(dsp_complex_mul_sum(in_place_as, bs, terms, in_place.data(), count), dsp_ok);
            for (int k = 0; k < count; ++k) {
                cplx want = 0.0;
                for (int j = 0; j < terms; ++j)
                    want += cplx(a[j][2 * k], a[j][2 * k + 1]) * cplx(b[j][2 * k], b[j][2 * k + 1]);
                ASSERT_NEAR(sum[2 * k], want.real(), 4e-6);
                ASSERT_NEAR(sum[2 * k + 1], want.imag(), 4e-6);
                ASSERT_EQ(in_place[2 * k], sum[2 * k]);
                ASSERT_EQ(in_place[2 * k + 1], sum[2 * k + 1]);
            }
            EXPECT_TRUE(sum.guards_intact() && in_place.guards_intact());
        }
    }
}

TEST_P(vector_per_variant, bad_lengths_and_null_pointers_are_rejected_without_writing) {
    guarded_buffer a(8, 2.0f), b(8, 3.0f);
    const float* terms[2] = {b.data(), b.data()};
    for (int len : {0, -1}) {
        EXPECT_EQ(dsp_set(1.0f, a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_copy(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_add_inplace(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_mul_inplace(b.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_scale(0.0f, a.data(), a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_reverse_inplace(a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_complex_mul_sum(terms, terms, 1, a.data(), len), dsp_err_size);
        EXPECT_EQ(dsp_complex_mul_sum(terms, terms, len, a.data(), 4), dsp_err_size);
    }
    EXPECT_EQ(dsp_set(1.0f, nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_copy(nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_copy(b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_add_inplace(nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_mul_inplace(b.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_scale(0.0f, nullptr, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_scale(2.0f, a.data(), nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_reverse_inplace(nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_hann_inplace(nullptr, 4), dsp_err_null);
    const float* no_term[2] = {b.data(), nullptr};
    EXPECT_EQ(dsp_complex_mul_sum(nullptr, terms, 1, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul_sum(terms, nullptr, 1, a.data(), 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul_sum(terms, terms, 1, nullptr, 4), dsp_err_null);
    EXPECT_EQ(dsp_complex_mul_sum(no_term, terms, 2, a.data(), 4), dsp_err_null);
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
