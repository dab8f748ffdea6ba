// The equaliser's band grid (rows = bands in cascade order, columns =
// channels) and the synthesis of one linear-phase FIR from it: a unit
// impulse at N/2 is run forwards and backwards through every band, each
// designed at half its dB gain, then multiplied by a Hann window of length N.
//
// Threads: `apply_band` may run on any thread, the audio thread included: it
// only files the band's values (writers take a lock of their own, held for
// five stores, that no reader takes) and the grid takes them in the next
// time it is read or designed. The grid itself is guarded by one mutex,
// taken by the per-field setters, `set_sample_rate`, the reads and briefly
// by `design_fir` (which designs and snapshots the bands under it, then
// filters without it); none of these belongs on the audio thread.
// `design_fir` and `init_window_memory` share the window and the filter
// state: call them from one thread at a time (the redesign worker).
//
// Allocation: construction and `init_window_memory` only; a `design_fir` at
// the length of the window already held allocates nothing.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "dsp/biquad_band.h"

struct dsp_iir_state;

namespace dsp {

// One band's five normalised parameter values, as the parameters hold them.
struct band_values {
    float on_off;
    float frequency;
    float gain;
    float q;
    float mode;
};

// A band's physical settings, for the parameter read-outs.
struct band_readout {
    float frequency;
    float gain;
    float q;
    int type;
    float on_off;
};

// What the response display evaluates for one band.
struct section_coefficients {
    float sample_rate;
    normalised_section section;
};

class fir_cascaded_biquad {
public:
    // Throws "Memory allocation error in fir_cascaded_biquad #1" for a
    // negative band count and "... #2" for fewer than one channel.
    fir_cascaded_biquad(int band_count, int sample_rate, int channel_count);
    fir_cascaded_biquad(const fir_cascaded_biquad&) = delete;
    fir_cascaded_biquad& operator=(const fir_cascaded_biquad&) = delete;

    int band_count() const { return static_cast<int>(grid_.size()); }
    int channel_count() const { return channel_count_; }

    // (row, column, value); column -1 means every channel. A row or column
    // out of range is ignored. None of them designs.
    void set_enabled(int row, int column, float on_off);
    void set_frequency_normalised(int row, int column, float x);
    void set_gain_normalised(int row, int column, float x);
    void set_q_normalised(int row, int column, float x);
    void set_mode_normalised(int row, int column, float x);
    void set_gain(int row, int column, float db);

    // On/off, frequency, gain, Q, mode, for every channel, taken in whole, so
    // a synthesis never sees half a band. A row out of range is ignored; a
    // mode out of range keeps the type of the mode filed before it, however
    // late the grid takes them in. Any thread; never waits for a reader or
    // a design.
    void apply_band(int row, const band_values& values);

    // Every band: the new rate, then a full-gain design.
    void set_sample_rate(int rate);

    // Unchecked: for the owner's thread while nothing else touches the grid.
    const biquad_band& band(int row, int column) const;

    // Channel 0 of `row`; throws std::out_of_range for a row outside the grid.
    band_readout read_band(int row) const;
    // The first `count` rows' channel-0 sections, each designed from its
    // current settings at half gain as the synthesis designs it, so the
    // display follows every change at once.
    void read_sections(section_coefficients out[], int count) const;

    void init_window_memory(int length);
    // Writes the FIR of length N into the first N floats of every channel's
    // buffer. Leaves each channel-0 band designed at half gain, with its gain
    // field back at the full value.
    void design_fir(float* const* buffers, int length);
    // The same for one buffer, from the rows whose bit is set in `rows`
    // alone (bit r for row r; the others pass unchanged).
    void design_fir_of_rows(float* fir, int length, unsigned rows);

private:
    struct dsp_deleter {
        void operator()(float* block) const;
    };
    struct iir_deleter {
        void operator()(dsp_iir_state* state) const;
    };

    // A band's values as last filed; `sequence` is odd while a writer is
    // inside, so a reader can tell a whole band from a torn one.
    struct filed_band {
        std::atomic<unsigned> sequence{0};
        std::atomic<float> values[5];
    };

    template <typename Change>
    void change_bands(int row, int column, Change change);
    // Under grid_mutex_.
    void take_filed_bands() const;
    void run_bands(float* buffer, int length, unsigned rows);

    mutable std::mutex grid_mutex_;
    mutable std::vector<std::vector<biquad_band>> grid_;
    std::unique_ptr<filed_band[]> filed_;
    std::mutex filing_mutex_;  // writers of filed_ only
    mutable std::atomic<unsigned> filed_rows_{0};
    int channel_count_;

    std::unique_ptr<float[], dsp_deleter> window_;
    int window_length_ = 0;

    // Six taps (b0, b1, b2, a0, a1, a2) per row: the snapshot a synthesis
    // filters from once the lock is released.
    std::unique_ptr<float[], dsp_deleter> taps_;
    std::vector<char> row_on_;
    std::unique_ptr<dsp_iir_state, iir_deleter> filter_state_;
};

}  // namespace dsp
