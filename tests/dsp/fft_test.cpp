#include <cmath>
#include <algorithm>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "dsp_test_support.h"
#include "platform/fault_injection.h"

using namespace dsp_test;

namespace {

constexpr int max_order = 17;
constexpr int all_flags[] = {DSP_FFT_DIV_FWD_BY_N, DSP_FFT_DIV_INV_BY_N, DSP_FFT_DIV_BY_SQRTN, DSP_FFT_NODIV_BY_ANY};

struct spec_holder {
    dsp_fft_spec* setup = nullptr;
    std::vector<unsigned char> work;
    spec_holder(int order, int flag) {
        EXPECT_EQ(dsp_fft_spec_create(&setup, order, flag, 0), dsp_ok);
        int bytes = 0;
        EXPECT_EQ(dsp_fft_work_size(setup, &bytes), dsp_ok);
        work.assign(std::size_t(bytes), 0);
    }
    ~spec_holder() { dsp_fft_spec_free(setup); }
};

double forward_factor(int flag, int n) {
    return flag == DSP_FFT_DIV_FWD_BY_N ? 1.0 / n : flag == DSP_FFT_DIV_BY_SQRTN ? 1.0 / std::sqrt(n) : 1.0;
}
double inverse_factor(int flag, int n) {
    return flag == DSP_FFT_DIV_INV_BY_N ? 1.0 / n : flag == DSP_FFT_DIV_BY_SQRTN ? 1.0 / std::sqrt(n) : 1.0;
}

std::vector<cplx> as_bins(guarded_buffer& buf, int n) {
    std::vector<cplx> bins(std::size_t(n / 2 + 1));
    for (std::size_t k = 0; k < bins.size(); ++k) bins[k] = cplx(buf[2 * int(k)], buf[2 * int(k) + 1]);
    if (n == 1) bins[0] = buf[0];
    return bins;
}

// Forward transform of x with the active variant set into a guarded buffer.
guarded_buffer forward(const std::vector<float>& x, spec_holder& h) {
    const int n = int(x.size());
    guarded_buffer buf(n + 2, 7.0f);
    std::memcpy(buf.data(), x.data(), x.size() * sizeof(float));
    EXPECT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), h.setup, h.work.data()), dsp_ok);
    return buf;
}

class fft_per_variant : public per_variant {};

TEST_P(fft_per_variant, forward_matches_a_double_precision_dft_at_every_size_and_flag) {
    for (int order = 0; order <= max_order; ++order) {
        const int n = 1 << order;
        for (int flag : all_flags) {
            SCOPED_TRACE("order " + std::to_string(order) + " flag " + std::to_string(flag));
            spec_holder h(order, flag);
            const std::vector<float> x = random_floats(n, unsigned(order * 16 + flag));
            guarded_buffer buf = forward(x, h);
            ASSERT_TRUE(buf.guards_intact());
            EXPECT_EQ(buf[1], 0.0f);
            EXPECT_EQ(buf[n + 1], 0.0f);
            std::vector<cplx> want = reference_real_spectrum(x);
            for (cplx& c : want) c *= forward_factor(flag, n);
            EXPECT_LT(relative_rms_error(as_bins(buf, n), want), 1e-6);
        }
    }
}

TEST_P(fft_per_variant, inverse_matches_a_double_precision_dft_and_ignores_the_real_bins_imaginary_parts) {
    for (int order = 0; order <= max_order; ++order) {
        const int n = 1 << order;
        for (int flag : {DSP_FFT_DIV_INV_BY_N, DSP_FFT_DIV_BY_SQRTN}) {
            SCOPED_TRACE("order " + std::to_string(order) + " flag " + std::to_string(flag));
            spec_holder h(order, flag);
            const std::vector<float> spectrum = random_floats(n + 2, unsigned(order + 100 * flag));
            guarded_buffer buf(n + 2);
            std::memcpy(buf.data(), spectrum.data(), spectrum.size() * sizeof(float));
            std::vector<cplx> bins = as_bins(buf, n);
            ASSERT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), h.setup, h.work.data()), dsp_ok);
            ASSERT_TRUE(buf.guards_intact());
            std::vector<double> want = reference_real_signal(bins, std::size_t(n));
            for (double& v : want) v *= inverse_factor(flag, n);
            std::vector<float> got(buf.data(), buf.data() + n);
            EXPECT_LT(relative_rms_error(got, want), 1e-6);
        }
    }
}

TEST_P(fft_per_variant, forward_of_a_unit_impulse_is_one_in_every_bin) {
    for (int order = 0; order <= max_order; ++order) {
        const int n = 1 << order;
        spec_holder h(order, DSP_FFT_NODIV_BY_ANY);
        std::vector<float> x(std::size_t(n), 0.0f);
        x[0] = 1.0f;
        guarded_buffer buf = forward(x, h);
        for (int k = 0; k <= n / 2; ++k) {
            ASSERT_NEAR(buf[2 * k], 1.0f, 1e-6f) << "order " << order << " bin " << k;
            ASSERT_NEAR(buf[2 * k + 1], 0.0f, 1e-6f) << "order " << order << " bin " << k;
        }
        EXPECT_EQ(buf[1], 0.0f);
        EXPECT_EQ(buf[n + 1], 0.0f);
    }
}

TEST_P(fft_per_variant, round_trip_returns_the_input_times_the_flags_factors) {
    for (int order : {0, 1, 2, 3, 4, 5, 8, 10, 11, 16}) {
        const int n = 1 << order;
        for (int flag : all_flags) {
            spec_holder h(order, flag);
            const std::vector<float> x = random_floats(n, unsigned(order));
            guarded_buffer buf = forward(x, h);
            ASSERT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), h.setup, h.work.data()), dsp_ok);
            const double factor = forward_factor(flag, n) * inverse_factor(flag, n) * n;
            std::vector<double> want(x.begin(), x.end());
            for (double& v : want) v *= factor;
            std::vector<float> got(buf.data(), buf.data() + n);
            EXPECT_LT(relative_rms_error(got, want), 1e-6) << "order " << order << " flag " << flag;
            EXPECT_TRUE(buf.guards_intact());
        }
    }
}

TEST_P(fft_per_variant, results_agree_with_the_plain_set) {
    for (int order = 0; order <= max_order; ++order) {
        const int n = 1 << order;
        spec_holder h(order, DSP_FFT_DIV_INV_BY_N);
        const std::vector<float> x = random_floats(n, unsigned(order + 7));
        guarded_buffer ours = forward(x, h);
        ASSERT_TRUE(dsp_select_variant(dsp_variant::none));
        guarded_buffer plain = forward(x, h);
        EXPECT_LT(relative_rms_error(ours.contents(), plain.contents()), 1e-6) << "order " << order;
        ASSERT_EQ(dsp_fft_inverse_ccs_inplace(plain.data(), h.setup, h.work.data()), dsp_ok);
        ASSERT_TRUE(dsp_select_variant(GetParam()));
        ASSERT_EQ(dsp_fft_inverse_ccs_inplace(ours.data(), h.setup, h.work.data()), dsp_ok);
        EXPECT_LT(relative_rms_error(ours.contents(), plain.contents()), 1e-6) << "order " << order;
    }
}

TEST_P(fft_per_variant, a_misaligned_work_buffer_of_the_reported_size_is_enough) {
    const int order = 12, n = 1 << order;
    dsp_fft_spec* setup = nullptr;
    ASSERT_EQ(dsp_fft_spec_create(&setup, order, DSP_FFT_DIV_INV_BY_N, 0), dsp_ok);
    int bytes = 0;
    ASSERT_EQ(dsp_fft_work_size(setup, &bytes), dsp_ok);
    guarded_buffer work(bytes / 4 + 1, guarded_buffer::pattern);
    float* misaligned = work.data() + 1;  // 4 bytes past a 64-byte boundary
    const std::vector<float> x = random_floats(n, 3);
    guarded_buffer buf(n + 2);
    std::memcpy(buf.data(), x.data(), x.size() * sizeof(float));
    ASSERT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), setup, misaligned), dsp_ok);
    ASSERT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), setup, misaligned), dsp_ok);
    EXPECT_TRUE(work.guards_intact());
    EXPECT_EQ(work[0], guarded_buffer::pattern);
    std::vector<float> got(buf.data(), buf.data() + n);
    EXPECT_LT(relative_rms_error(got, x), 1e-6);
    dsp_fft_spec_free(setup);
}

TEST_P(fft_per_variant, a_null_work_buffer_makes_the_transform_use_a_temporary) {
    spec_holder h(10, DSP_FFT_DIV_INV_BY_N);
    const std::vector<float> x = random_floats(1024, 5);
    guarded_buffer buf(1026);
    std::memcpy(buf.data(), x.data(), x.size() * sizeof(float));
    ASSERT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), h.setup, nullptr), dsp_ok);
    ASSERT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), h.setup, nullptr), dsp_ok);
    std::vector<float> got(buf.data(), buf.data() + 1024);
    EXPECT_LT(relative_rms_error(got, x), 1e-6);
}

// Runs the transform that progress has started in calls of 1 to 3 pieces;
// every call must take exactly those pieces off the count.
void resume_in_pieces(guarded_buffer& buf, spec_holder& h, dsp_fft_progress& progress, unsigned seed) {
    std::mt19937 random(seed);
    int left = -1;
    ASSERT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, h.work.data(), &progress, 0, &left), dsp_ok);
    ASSERT_GT(left, 0);
    while (left > 0) {
        const int pieces = std::uniform_int_distribution<int>(1, 3)(random), before = left;
        ASSERT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, h.work.data(), &progress, pieces, &left), dsp_ok);
        ASSERT_EQ(left, std::max(before - pieces, 0));
    }
}

TEST_P(fft_per_variant, in_pieces_both_directions_give_the_whole_transforms_result_at_every_size) {
    for (int order = 0; order <= max_order; ++order) {
        const int n = 1 << order;
        SCOPED_TRACE("order " + std::to_string(order));
        spec_holder h(order, DSP_FFT_DIV_INV_BY_N);
        const std::vector<float> x = random_floats(n, unsigned(order + 40));
        guarded_buffer whole = forward(x, h), pieces(n + 2);
        std::memcpy(pieces.data(), x.data(), x.size() * sizeof(float));
        dsp_fft_progress progress{};
        ASSERT_EQ(dsp_fft_start(&progress, DSP_FFT_FORWARD), dsp_ok);
        resume_in_pieces(pieces, h, progress, unsigned(order));
        ASSERT_TRUE(pieces.guards_intact());
        EXPECT_LT(relative_rms_error(pieces.contents(), whole.contents()), 1e-6);

        ASSERT_EQ(dsp_fft_inverse_ccs_inplace(whole.data(), h.setup, h.work.data()), dsp_ok);
        ASSERT_EQ(dsp_fft_start(&progress, DSP_FFT_INVERSE), dsp_ok);
        resume_in_pieces(pieces, h, progress, unsigned(order + 1));
        ASSERT_TRUE(pieces.guards_intact());
        std::vector<float> got = pieces.contents(), want = whole.contents();
        got.resize(std::size_t(n));
        want.resize(std::size_t(n));
        EXPECT_LT(relative_rms_error(got, want), 1e-6);
    }
}

TEST_P(fft_per_variant, a_transform_in_pieces_ends_with_the_set_that_started_it) {
    const int order = 13, n = 1 << order;
    spec_holder h(order, DSP_FFT_NODIV_BY_ANY);
    const std::vector<float> x = random_floats(n, 9);
    guarded_buffer whole = forward(x, h), pieces(n + 2);
    std::memcpy(pieces.data(), x.data(), x.size() * sizeof(float));
    dsp_fft_progress progress{};
    ASSERT_EQ(dsp_fft_start(&progress, DSP_FFT_FORWARD), dsp_ok);
    int left = 0;
    ASSERT_EQ(dsp_fft_resume_ccs_inplace(pieces.data(), h.setup, h.work.data(), &progress, 1, &left), dsp_ok);
    ASSERT_TRUE(dsp_select_variant(dsp_variant::none));
    ASSERT_EQ(dsp_fft_resume_ccs_inplace(pieces.data(), h.setup, h.work.data(), &progress, 1 << 20, &left), dsp_ok);
    EXPECT_EQ(left, 0);
    EXPECT_LT(relative_rms_error(pieces.contents(), whole.contents()), 1e-6);
}

INSTANTIATE_TEST_SUITE_P(variants, fft_per_variant, testing::ValuesIn(supported_variants()), variant_label);

TEST(fft_spec, create_rejects_bad_orders_flags_and_a_null_destination_without_writing) {
    dsp_fft_spec* const untouched = reinterpret_cast<dsp_fft_spec*>(std::uintptr_t(0x1234));
    dsp_fft_spec* setup = untouched;
    EXPECT_EQ(dsp_fft_spec_create(nullptr, 4, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_null);
    EXPECT_EQ(dsp_fft_spec_create(&setup, -1, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_fft_order);
    EXPECT_EQ(dsp_fft_spec_create(&setup, 31, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_fft_order);
    for (int flag : {0, 3, 5, 16, -1}) EXPECT_EQ(dsp_fft_spec_create(&setup, 4, flag, 0), dsp_err_fft_flag);
    EXPECT_EQ(setup, untouched);
}

TEST(fft_spec, orders_whose_work_size_exceeds_an_int_fail_as_out_of_memory) {
    dsp_fft_spec* setup = nullptr;
    EXPECT_EQ(dsp_fft_spec_create(&setup, 30, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_memory);
    EXPECT_EQ(dsp_fft_spec_create(&setup, 28, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_memory);
    EXPECT_EQ(setup, nullptr);
}

TEST(fft_spec, an_allocation_failure_during_create_reports_out_of_memory) {
    dsp_fft_spec* setup = nullptr;
    platform::inject_fault(platform::fault::aligned_allocation);
    EXPECT_EQ(dsp_fft_spec_create(&setup, 10, DSP_FFT_DIV_INV_BY_N, 0), dsp_err_memory);
    platform::clear_faults();
    EXPECT_EQ(setup, nullptr);
}

TEST(fft_spec, objects_of_another_kind_are_rejected_with_a_context_error) {
    alignas(64) unsigned char impostor[512] = {};
    auto* wrong = reinterpret_cast<dsp_fft_spec*>(impostor);
    guarded_buffer buf(18, 1.5f);
    int bytes = -1;
    EXPECT_EQ(dsp_fft_work_size(wrong, &bytes), dsp_err_context);
    EXPECT_EQ(bytes, -1);
    EXPECT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), wrong, nullptr), dsp_err_context);
    EXPECT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), wrong, nullptr), dsp_err_context);
    EXPECT_EQ(dsp_fft_spec_free(wrong), dsp_err_context);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(buf[k], 1.5f);
    EXPECT_TRUE(buf.guards_intact());
}

TEST(fft_spec, null_arguments_are_rejected_without_writing) {
    spec_holder h(4, DSP_FFT_NODIV_BY_ANY);
    guarded_buffer buf(18, 1.5f);
    EXPECT_EQ(dsp_fft_forward_ccs_inplace(nullptr, h.setup, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_fft_inverse_ccs_inplace(nullptr, h.setup, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), nullptr, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), nullptr, nullptr), dsp_err_null);
    EXPECT_EQ(dsp_fft_work_size(h.setup, nullptr), dsp_err_null);
    int bytes = -1;
    EXPECT_EQ(dsp_fft_work_size(nullptr, &bytes), dsp_err_null);
    EXPECT_EQ(bytes, -1);
    EXPECT_EQ(dsp_fft_spec_free(nullptr), dsp_err_null);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(buf[k], 1.5f);
}

TEST(fft_spec, a_transform_in_pieces_needs_a_start_a_direction_and_a_work_buffer) {
    spec_holder h(4, DSP_FFT_NODIV_BY_ANY);
    guarded_buffer buf(18, 1.5f);
    dsp_fft_progress progress{};
    int left = -1;
    EXPECT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, h.work.data(), &progress, 1, &left), dsp_err_context);
    EXPECT_EQ(dsp_fft_start(&progress, 2), dsp_err_fft_flag);
    EXPECT_EQ(dsp_fft_start(nullptr, DSP_FFT_FORWARD), dsp_err_null);
    ASSERT_EQ(dsp_fft_start(&progress, DSP_FFT_FORWARD), dsp_ok);
    EXPECT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, nullptr, &progress, 1, &left), dsp_err_null);
    EXPECT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, h.work.data(), &progress, -1, &left), dsp_err_size);
    for (const auto& [pass, position] : {std::pair{-1, 0}, std::pair{1 << 20, 0}, std::pair{0, -5}}) {
        dsp_fft_progress worn = progress;
        worn.pass = pass;
        worn.position = position;
        EXPECT_EQ(dsp_fft_resume_ccs_inplace(buf.data(), h.setup, h.work.data(), &worn, 1, &left), dsp_err_context);
    }
    EXPECT_EQ(left, -1);
    for (int k = 0; k < 18; ++k) EXPECT_EQ(buf[k], 1.5f);
}

TEST(fft_spec, a_failing_temporary_work_buffer_reports_out_of_memory_and_leaves_the_data) {
    spec_holder h(4, DSP_FFT_NODIV_BY_ANY);
    guarded_buffer buf(18, 1.5f);
    platform::inject_fault(platform::fault::aligned_allocation);
    EXPECT_EQ(dsp_fft_forward_ccs_inplace(buf.data(), h.setup, nullptr), dsp_err_memory);
    platform::inject_fault(platform::fault::aligned_allocation);
    EXPECT_EQ(dsp_fft_inverse_ccs_inplace(buf.data(), h.setup, nullptr), dsp_err_memory);
    platform::clear_faults();
    for (int k = 0; k < 18; ++k) EXPECT_EQ(buf[k], 1.5f);
}

}  // namespace
