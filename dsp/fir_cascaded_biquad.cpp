#include "dsp/fir_cascaded_biquad.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "dsp/band_types.h"
#include "dsp/control_units.h"
#include "dsp/dsp.h"
#include "dsp/eq_layout.h"

namespace dsp {

namespace {

constexpr int taps_per_band = 6;
constexpr int shortest_fir = 3;

[[noreturn]] void fail(const char* message) { throw std::runtime_error(message); }

// The FIR runs every band twice, so each run applies half the dB gain.
void design_at_half_gain(biquad_band& band) {
    const float gain = band.gain();
    band.set_gain(gain * 0.5f);
    band.design();
    band.set_gain(gain);
}

}  // namespace

void fir_cascaded_biquad::dsp_deleter::operator()(float* block) const { dsp_free(block); }

void fir_cascaded_biquad::iir_deleter::operator()(dsp_iir_state* state) const { dsp_iir_free(state); }

fir_cascaded_biquad::fir_cascaded_biquad(int band_count, int sample_rate, int channel_count)
    : channel_count_(channel_count) {
    if (band_count < 0) fail("Memory allocation error in fir_cascaded_biquad #1");
    try {
        grid_.resize(band_count);
    } catch (const std::bad_alloc&) {
        fail("Memory allocation error in fir_cascaded_biquad #1");
    }
    // The synthesis writes channel 0 and the display reads it: one is needed.
    if (channel_count < 1) fail("Memory allocation error in fir_cascaded_biquad #2");
    for (auto& row : grid_) {
        try {
            row.resize(channel_count);
        } catch (const std::bad_alloc&) {
            fail("Memory allocation error in fir_cascaded_biquad #2");
        }
        for (auto& band : row) band.set_sample_rate(static_cast<float>(sample_rate));
    }
    if (band_count == dsp::band_count) {
        for (int row = 0; row < band_count; ++row)
            for (auto& band : grid_[row]) band.set_role(role_of_band(row));
    }
    for (auto& row : grid_)
        for (auto& band : row) band.design();

    init_window_memory(max_fir_length);

    taps_.reset(dsp_alloc_floats(taps_per_band * std::max(band_count, 1)));
    if (!taps_) fail("Memory allocation error in fir_cascaded_biquad #3");
    // A placeholder section; every run reloads the taps.
    const float identity[taps_per_band] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    std::copy(std::begin(identity), std::end(identity), taps_.get());
    dsp_iir_state* state = nullptr;
    if (dsp_iir_create(&state, taps_.get(), 2, nullptr) != dsp_ok)
        fail("Memory allocation error in fir_cascaded_biquad #4");
    filter_state_.reset(state);
    row_on_.assign(band_count, 0);
    filed_ = std::make_unique<filed_band[]>(grid_.size());
    // No type filed yet: a first mode out of range keeps the grid's.
    for (std::size_t row = 0; row < grid_.size(); ++row)
        filed_[row].values[4].store(std::numeric_limits<float>::quiet_NaN(), std::memory_order_relaxed);
}

template <typename Change>
void fir_cascaded_biquad::change_bands(int row, int column, Change change) {
    if (row < 0 || row >= band_count() || column < -1 || column >= channel_count_) return;
    std::lock_guard lock(grid_mutex_);
    take_filed_bands();
    if (column == -1) {
        for (auto& band : grid_[row]) change(band);
    } else {
        change(grid_[row][column]);
    }
}

void fir_cascaded_biquad::set_enabled(int row, int column, float on_off) {
    change_bands(row, column, [=](biquad_band& band) { band.set_enabled(on_off); });
}

void fir_cascaded_biquad::set_frequency_normalised(int row, int column, float x) {
    change_bands(row, column, [=](biquad_band& band) { band.set_frequency_normalised(x); });
}

void fir_cascaded_biquad::set_gain_normalised(int row, int column, float x) {
    change_bands(row, column, [=](biquad_band& band) { band.set_gain_normalised(x); });
}

void fir_cascaded_biquad::set_q_normalised(int row, int column, float x) {
    change_bands(row, column, [=](biquad_band& band) { band.set_q_normalised(x); });
}

void fir_cascaded_biquad::set_mode_normalised(int row, int column, float x) {
    change_bands(row, column, [=](biquad_band& band) { band.set_mode_normalised(x); });
}

void fir_cascaded_biquad::set_gain(int row, int column, float db) {
    change_bands(row, column, [=](biquad_band& band) { band.set_gain(db); });
}

void fir_cascaded_biquad::apply_band(int row, const band_values& values) {
    if (row < 0 || row >= band_count() || row >= 32) return;
    filed_band& filed = filed_[row];
    {
        std::lock_guard writers(filing_mutex_);
        // A mode out of range keeps the band's type: settled here against
        // the mode filed before, so the type does not depend on whether the
        // grid took that one in before this one came.
        const float mode =
            type_position_of(values.mode) >= 0 ? values.mode : filed.values[4].load(std::memory_order_relaxed);
        const unsigned sequence = filed.sequence.load(std::memory_order_relaxed);
        filed.sequence.store(sequence + 1, std::memory_order_relaxed);
        // Released one by one: a reader that sees any new value also sees
        // the odd sequence, and tries again.
        const float in_order[5] = {values.on_off, values.frequency, values.gain, values.q, mode};
        for (int i = 0; i < 5; ++i) filed.values[i].store(in_order[i], std::memory_order_release);
        filed.sequence.store(sequence + 2, std::memory_order_release);
    }
    filed_rows_.fetch_or(1u << row, std::memory_order_release);
}

void fir_cascaded_biquad::take_filed_bands() const {
    const unsigned rows = filed_rows_.exchange(0, std::memory_order_acquire);
    for (int row = 0; row < 32 && rows >> row != 0; ++row) {
        if (!(rows >> row & 1u)) continue;
        const filed_band& filed = filed_[row];
        float v[5];
        for (;;) {
            const unsigned before = filed.sequence.load(std::memory_order_acquire);
            for (int i = 0; i < 5; ++i) v[i] = filed.values[i].load(std::memory_order_acquire);
            if (before % 2 == 0 && filed.sequence.load(std::memory_order_relaxed) == before) break;
        }
        for (biquad_band& band : grid_[row]) {
            band.set_enabled(v[0]);
            band.set_frequency_normalised(v[1]);
            band.set_gain_normalised(v[2]);
            band.set_q_normalised(v[3]);
            band.set_mode_normalised(v[4]);
        }
    }
}

const biquad_band& fir_cascaded_biquad::band(int row, int column) const {
    std::lock_guard lock(grid_mutex_);
    take_filed_bands();
    return grid_[row][column];
}

void fir_cascaded_biquad::set_sample_rate(int rate) {
    std::lock_guard lock(grid_mutex_);
    take_filed_bands();
    for (auto& row : grid_) {
        for (auto& band : row) {
            band.set_sample_rate(static_cast<float>(rate));
            band.design();
        }
    }
}

band_readout fir_cascaded_biquad::read_band(int row) const {
    std::lock_guard lock(grid_mutex_);
    take_filed_bands();
    const biquad_band& band = grid_.at(row)[0];
    return {band.frequency(), band.gain(), band.q(), band.type(), band.on_off_value()};
}

void fir_cascaded_biquad::read_sections(section_coefficients out[], int count) const {
    std::lock_guard lock(grid_mutex_);
    take_filed_bands();
    for (int row = 0; row < std::min(count, band_count()); ++row) {
        biquad_band band = grid_[row][0];
        design_at_half_gain(band);
        out[row] = {band.sample_rate(), band.normalised()};
    }
}

void fir_cascaded_biquad::init_window_memory(int length) {
    if (length == window_length_) return;
    // Allocated before the old window goes, so a failure leaves the old
    // window and its length consistent.
    std::unique_ptr<float[], dsp_deleter> window(dsp_alloc_floats(length));
    if (!window) fail("Memory allocation error in init_window_memory #1");
    dsp_set(1.0f, window.get(), length);
    dsp_hann_inplace(window.get(), length);
    window_ = std::move(window);
    window_length_ = length;
}

void fir_cascaded_biquad::design_fir(float* const* buffers, int length) {
    design_fir_of_rows(buffers[0], length, ~0u);
    for (int channel = 1; channel < channel_count_; ++channel) dsp_copy(buffers[0], buffers[channel], length);
}

void fir_cascaded_biquad::design_fir_of_rows(float* fir, int length, unsigned rows) {
    if (length < shortest_fir || length > max_fir_length)
        fail("Error in fir_cascaded_biquad::get_coeffs, MAX_FIR_LENGTH exceeded");

    {
        std::lock_guard lock(grid_mutex_);
        take_filed_bands();
        for (int row = 0; row < band_count(); ++row) {
            biquad_band& band = grid_[row][0];
            design_at_half_gain(band);
            float* taps = taps_.get() + taps_per_band * row;
            std::copy(band.raw_b().begin(), band.raw_b().end(), taps);
            std::copy(band.raw_a().begin(), band.raw_a().end(), taps + 3);
            row_on_[row] = band.is_on();
        }
    }

    dsp_set(0.0f, fir, length);
    fir[length / 2] = 1.0f;
    run_bands(fir, length, rows);
    dsp_reverse_inplace(fir, length);
    run_bands(fir, length, rows);
    dsp_reverse_inplace(fir, length);

    if (length != window_length_) init_window_memory(length);
    dsp_mul_inplace(window_.get(), fir, length);
}

// Each band filters the previous band's whole output, starting from silence.
void fir_cascaded_biquad::run_bands(float* buffer, int length, unsigned rows) {
    for (int row = 0; row < band_count(); ++row) {
        if (!row_on_[row] || row >= 32 || !(rows >> row & 1u)) continue;
        dsp_iir_set_taps(taps_.get() + taps_per_band * row, filter_state_.get());
        dsp_iir_set_delay(filter_state_.get(), nullptr);
        dsp_iir_filter_inplace(buffer, length, filter_state_.get());
    }
}

}  // namespace dsp
