#include "dsp/fir_cascaded_biquad.h"
#include "dsp/eq_layout.h"
#include "dsp/band_types.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <complex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/dsp.h"
#include "platform/fault_injection.h"

using namespace dsp;

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int sample_rate = 44100;
constexpr const char* length_message = "Error in fir_cascaded_biquad::get_coeffs, MAX_FIR_LENGTH exceeded";

// One FIR per channel, each buffer sized for its length.
struct fir_buffers {
    fir_buffers(int channels, int length) : data(channels, std::vector<float>(length, -1.0f)) {
        for (auto& channel : data) pointers.push_back(channel.data());
    }
    float** get() { return pointers.data(); }
    const std::vector<float>& operator[](int channel) const { return data[channel]; }

    std::vector<std::vector<float>> data;
    std::vector<float*> pointers;
};

std::vector<float> synthesise(fir_cascaded_biquad& fir, int length) {
    fir_buffers buffers(fir.channel_count(), length);
    fir.design_fir(buffers.get(), length);
    return buffers[0];
}

// Magnitude of the FIR's response at `hz`, in dB, by a double-precision DFT.
double response_db(const std::vector<float>& taps, double hz) {
    const double w = 2.0 * pi * hz / sample_rate;
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < taps.size(); ++n) sum += double(taps[n]) * std::polar(1.0, -w * n);
    return 20.0 * std::log10(std::abs(sum));
}

// The message a failing call throws, or "" when it succeeds.
template <typename Call>
std::string error_of(Call call) {
    try {
        call();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

double hann(int n, int length) { return 0.5 * (1.0 - std::cos(2.0 * pi * n / (length - 1))); }

// Five bands as the plug-in builds them, at 44100 Hz, all off.
struct five_bands : ::testing::Test {
    fir_cascaded_biquad fir{5, sample_rate, 2};
};

}  // namespace

TEST_F(five_bands, all_bands_off_give_one_windowed_tap_at_the_centre) {
    const std::vector<float> taps = synthesise(fir, 512);
    EXPECT_NEAR(taps[256], hann(256, 512), 1e-6);
    for (int n = 0; n < 512; ++n) {
        EXPECT_EQ(taps[n], n == 256 ? taps[256] : 0.0f) << "n = " << n;
    }
}

TEST_F(five_bands, all_bands_on_at_0_db_give_the_all_off_result) {
    const std::vector<float> off = synthesise(fir, 512);
    for (int row = 0; row < 5; ++row) {
        fir.set_enabled(row, -1, 1.0f);
        fir.set_q_normalised(row, -1, 0.2f * row);
    }
    const std::vector<float> on = synthesise(fir, 512);
    for (int n = 0; n < 512; ++n) EXPECT_NEAR(on[n], off[n], 1e-5) << "n = " << n;
}

TEST_F(five_bands, peak_of_plus_12_db_measures_12_db_at_its_frequency) {
    fir.set_enabled(2, -1, 1.0f);
    fir.set_frequency_normalised(2, -1, 0.5f);
    fir.set_gain(2, -1, 12.0f);
    const std::vector<float> taps = synthesise(fir, 8192);
    EXPECT_NEAR(response_db(taps, fir.band(2, 0).frequency()), 12.0, 0.1);
    EXPECT_NEAR(response_db(taps, 20000.0), 0.0, 0.1);
}

TEST_F(five_bands, low_cut_at_q_0_707_is_6_db_down_at_its_corner) {
    fir.set_enabled(0, -1, 1.0f);
    fir.set_mode_normalised(0, -1, 0.5f);
    fir.set_frequency_normalised(0, -1, 0.5f);
    fir.set_q_normalised(0, -1, static_cast<float>(std::log10(7.0710678) / 2.0));
    ASSERT_STREQ(names_of_type(fir.band(0, 0).type()).host, "HiPass");
    ASSERT_NEAR(fir.band(0, 0).q(), 0.7071f, 1e-4f);
    const std::vector<float> taps = synthesise(fir, 8192);
    EXPECT_NEAR(response_db(taps, fir.band(0, 0).frequency()), -6.02, 0.1);
}

TEST_F(five_bands, fir_is_zero_phase_about_the_centre_starts_at_zero_and_fills_every_channel) {
    fir.apply_band(1, {1.0f, 0.3f, 0.2f, 0.5f, 0.0f});
    fir.apply_band(4, {1.0f, 0.7f, 0.8f, 0.5f, 1.0f});
    fir_buffers buffers(2, 4096);
    fir.design_fir(buffers.get(), 4096);
    const std::vector<float>& taps = buffers[0];
    EXPECT_EQ(taps[0], 0.0f);
    const float peak = *std::max_element(taps.begin(), taps.end());
    for (int k = 1; k < 512; ++k) EXPECT_NEAR(taps[2048 + k], taps[2048 - k], 1e-3f * peak) << "k = " << k;
    EXPECT_EQ(buffers[1], taps);
}

TEST_F(five_bands, only_lengths_3_to_131072_are_accepted) {
    fir_buffers buffers(2, 4);
    for (int length : {2, 131073, 0, -1})
        EXPECT_EQ(error_of([&] { fir.design_fir(buffers.get(), length); }), length_message);
    EXPECT_EQ(buffers[0][0], -1.0f);
    const std::vector<float> longest = synthesise(fir, max_fir_length);
    EXPECT_NEAR(longest[max_fir_length / 2], hann(max_fir_length / 2, max_fir_length), 1e-6);

    fir.apply_band(2, {1.0f, 0.5f, 1.0f, 0.5f, 0.0f});
    const std::vector<float> shortest = synthesise(fir, 3);
    EXPECT_EQ(shortest[0], 0.0f);
    EXPECT_NE(shortest[1], 0.0f);
    EXPECT_NEAR(shortest[2], 0.0f, 1e-7f);
}

TEST_F(five_bands, synthesis_leaves_the_full_gain_with_the_half_gain_design) {
    fir.set_enabled(2, -1, 1.0f);
    fir.set_frequency_normalised(2, -1, 0.6f);
    fir.set_gain(2, -1, 12.0f);
    synthesise(fir, 512);
    EXPECT_EQ(fir.band(2, 0).gain(), 12.0f);

    biquad_band half = fir.band(2, 0);
    half.set_gain(6.0f);
    half.design();
    EXPECT_EQ(fir.band(2, 0).raw_b(), half.raw_b());
    EXPECT_EQ(fir.band(2, 0).raw_a(), half.raw_a());
}

TEST_F(five_bands, bands_get_their_roles_and_follow_the_sample_rate) {
    const int roles[] = {1, 1, 2, 3, 3};
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(fir.band(row, 0).role(), roles[row]);
        EXPECT_EQ(fir.band(row, 1).role(), roles[row]);
        EXPECT_EQ(fir.band(row, 1).sample_rate(), 44100.0f);
    }
    EXPECT_EQ(fir_cascaded_biquad(3, sample_rate, 1).band(0, 0).role(), 0);

    fir.apply_band(1, {1.0f, 0.5f, 0.9f, 0.5f, 0.0f});
    fir.set_sample_rate(48000);
    EXPECT_EQ(fir.band(4, 1).sample_rate(), 48000.0f);
    biquad_band full_gain = fir.band(1, 0);
    full_gain.design();
    EXPECT_EQ(fir.band(1, 0).raw_b(), full_gain.raw_b());
    fir.set_sample_rate(-5);
    EXPECT_EQ(fir.band(0, 0).sample_rate(), 1000.0f);
}

TEST_F(five_bands, setters_reach_one_channel_or_every_channel_and_ignore_bad_indices) {
    fir.set_gain(1, 1, 3.0f);
    EXPECT_EQ(fir.band(1, 0).gain(), 0.0f);
    EXPECT_EQ(fir.band(1, 1).gain(), 3.0f);
    fir.set_gain(1, -1, 4.0f);
    EXPECT_EQ(fir.band(1, 0).gain(), 4.0f);
    EXPECT_EQ(fir.band(1, 1).gain(), 4.0f);

    for (auto [row, column] : {std::pair{-1, 0}, {5, 0}, {0, 2}, {0, -2}}) {
        fir.set_enabled(row, column, 1.0f);
        fir.set_frequency_normalised(row, column, 1.0f);
        fir.set_gain_normalised(row, column, 1.0f);
        fir.set_q_normalised(row, column, 1.0f);
        fir.set_mode_normalised(row, column, 1.0f);
        fir.set_gain(row, column, 9.0f);
    }
    for (int row : {-1, 5}) fir.apply_band(row, {1.0f, 1.0f, 1.0f, 1.0f, 1.0f});
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 2; ++column) {
            const biquad_band& band = fir.band(row, column);
            EXPECT_FALSE(band.is_on());
            EXPECT_EQ(band.type(), biquad_band::peaking);
            EXPECT_EQ(band.q(), 1.0f);
        }
    }
}

TEST_F(five_bands, apply_band_sets_all_five_values_in_every_channel) {
    fir.apply_band(3, {1.0f, 0.75f, 0.25f, 0.0f, 1.0f});
    for (int column = 0; column < 2; ++column) {
        const biquad_band& band = fir.band(3, column);
        EXPECT_TRUE(band.is_on());
        EXPECT_NEAR(band.frequency(), 5533.53f, 0.01f);
        EXPECT_NEAR(band.gain(), -4.805f, 0.001f);
        EXPECT_FLOAT_EQ(band.q(), 0.1f);
        EXPECT_EQ(band.type(), biquad_band::hi_shelf);
    }
    const band_readout readout = fir.read_band(3);
    EXPECT_EQ(readout.frequency, fir.band(3, 0).frequency());
    EXPECT_EQ(readout.gain, fir.band(3, 0).gain());
    EXPECT_EQ(readout.q, fir.band(3, 0).q());
    EXPECT_EQ(readout.type, biquad_band::hi_shelf);
    EXPECT_EQ(readout.on_off, 1.0f);
    EXPECT_THROW(fir.read_band(5), std::out_of_range);
}

TEST_F(five_bands, response_display_sees_each_change_at_once_as_the_synthesis_designs_it) {
    fir.apply_band(2, {1.0f, 0.5f, 1.0f, 0.5f, 0.0f});
    section_coefficients before[5], after[5];
    fir.read_sections(before, 5);
    synthesise(fir, 512);
    fir.read_sections(after, 5);
    for (int row = 0; row < 5; ++row) {
        const normalised_section& s = fir.band(row, 0).normalised();
        const std::vector<float> designed{44100.0f, s.b0, s.b1, s.b2, s.a1, s.a2};
        for (const section_coefficients& read : {before[row], after[row]}) {
            const normalised_section& r = read.section;
            EXPECT_EQ((std::vector<float>{read.sample_rate, r.b0, r.b1, r.b2, r.a1, r.a2}), designed);
        }
    }
    EXPECT_NE(after[2].section.b0, 1.0f);
}

TEST(fir_cascaded_biquad, refuses_a_negative_band_count_or_no_channel) {
    EXPECT_EQ(error_of([] { fir_cascaded_biquad(-1, sample_rate, 2); }),
              "Memory allocation error in fir_cascaded_biquad #1");
    EXPECT_EQ(error_of([] { fir_cascaded_biquad(5, sample_rate, 0); }),
              "Memory allocation error in fir_cascaded_biquad #2");
}

TEST(fir_cascaded_biquad, failed_allocations_are_reported_and_keep_the_old_window) {
    const auto construct = [] { fir_cascaded_biquad(5, sample_rate, 2); };
    platform::inject_fault(platform::fault::aligned_allocation);
    EXPECT_EQ(error_of(construct), "Memory allocation error in init_window_memory #1");
    platform::inject_fault(platform::fault::aligned_allocation, 1);
    EXPECT_EQ(error_of(construct), "Memory allocation error in fir_cascaded_biquad #3");
    platform::clear_faults();

    fir_cascaded_biquad fir(5, sample_rate, 2);
    const std::vector<float> before = synthesise(fir, 512);
    platform::inject_fault(platform::fault::aligned_allocation);
    EXPECT_EQ(error_of([&] { fir.init_window_memory(1024); }), "Memory allocation error in init_window_memory #1");
    platform::clear_faults();
    EXPECT_EQ(synthesise(fir, 512), before);
}

// The synthesis must see every band whole: each FIR made while another
// thread swaps between two settings must be one of the two settings' FIRs.
TEST(fir_cascaded_biquad, synthesis_sees_whole_bands_while_another_thread_changes_them) {
    const band_values first{1.0f, 0.3f, 0.9f, 0.2f, 0.0f};
    const band_values second{1.0f, 0.7f, 0.1f, 0.8f, 0.6f};
    constexpr int length = 256;
    fir_cascaded_biquad fir(5, sample_rate, 2);
    fir.apply_band(0, second);
    const std::vector<float> second_fir = synthesise(fir, length);
    fir.apply_band(0, first);
    const std::vector<float> first_fir = synthesise(fir, length);

    std::thread changer([&] {
        for (int i = 0; i < 400; ++i) fir.apply_band(0, i % 2 ? first : second);
    });
    std::thread display([&] {
        section_coefficients sections[5];
        for (int i = 0; i < 400; ++i) fir.read_sections(sections, 5);
    });
    int torn = 0;
    for (int i = 0; i < 200; ++i) {
        const std::vector<float> taps = synthesise(fir, length);
        if (taps != first_fir && taps != second_fir) ++torn;
    }
    changer.join();
    display.join();
    EXPECT_EQ(torn, 0);
}

// Values filed before the grid reads them must give the type that filing
// them one by one gives, whether or not a read came in between.
TEST(fir_cascaded_biquad, a_mode_out_of_range_keeps_the_type_filed_before_it_whatever_the_timing) {
    fir_cascaded_biquad fir(5, sample_rate, 1);
    const auto file_mode = [&](float mode) { fir.apply_band(0, {1.0f, 0.5f, 0.5f, 0.5f, mode}); };
    file_mode(1.5f);
    EXPECT_EQ(fir.read_band(0).type, biquad_band::peaking) << "none filed yet: the grid's type stays";
    file_mode(0.75f);
    file_mode(1.5f);
    EXPECT_EQ(fir.read_band(0).type, biquad_band::hi_pass);

    std::atomic<bool> done{false};
    std::thread reader([&] {
        while (!done.load()) fir.read_band(0);
    });
    int wrong = 0;
    for (int i = 0; i < 2000; ++i) {
        const bool cut = i % 2;
        file_mode(cut ? 0.75f : 0.25f);
        file_mode(-1.0f);
        if (fir.read_band(0).type != (cut ? biquad_band::hi_pass : biquad_band::peaking)) ++wrong;
    }
    done.store(true);
    reader.join();
    EXPECT_EQ(wrong, 0);
}
