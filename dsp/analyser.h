// The spectrum the response display draws under its curve, worked out on the
// editor's thread from the samples the audio thread hands over
// (analyser_ring.h): an output trace and, optionally, an input trace whose
// window ends `input_delay` samples earlier, so that both show the same
// moment through a latent equaliser.
//
// Each update transforms the latest window of each trace: the transform
// size grows with the sample rate so that a bin is at most 1.5 Hz wide
// (32768 points at 44.1 and 48 kHz), which keeps a 40 Hz tone narrower than
// half an octave under a window whose sidelobes lie at -92 dB (the
// four-term Blackman-Harris), so a deep cut reads deep. Levels are dB of a
// sine: a full-scale sine reads 0 dB. At each display column the power is,
// unsmoothed, the strongest bin the column covers (a peak's true height
// from its neighbours), or with smoothing the mean over 1/n octave around
// it; then averaged in the power domain with separate rise and fall times,
// and tilted by a slope in dB per octave about 1 kHz.
//
// Construction allocates; take and update do not. Editor thread only.
#pragma once

#include <vector>

struct dsp_fft_spec;

namespace dsp {

class spectrum_analyser {
public:
    enum trace { output_trace, input_trace, trace_count };

    // A transform size for the rate: a power of two with bins of 1.5 Hz or finer.
    static int transform_size(int sample_rate);

    // column_hz: the centre frequency of each display column, rising.
    spectrum_analyser(int sample_rate, int input_delay, std::vector<double> column_hz);
    ~spectrum_analyser();
    spectrum_analyser(const spectrum_analyser&) = delete;
    spectrum_analyser& operator=(const spectrum_analyser&) = delete;

    // Time constants of the power average, in seconds (0: none).
    void set_ballistics(double rise_seconds, double fall_seconds);
    // Smoothing over 1/per_octave octave; 0 for none.
    void set_smoothing(int per_octave);
    void set_slope(float db_per_octave) { slope_db_per_octave_ = db_per_octave; }

    // Frames that arrived, oldest first, of both traces.
    void take(const float* output, const float* input, int count);
    // Transforms the traces asked for and folds them into their averages;
    // the time between updates is that of the frames taken in between.
    void update(bool output, bool input);
    // The averaged level of each column in dB, the slope applied; -200 where
    // nothing has been measured.
    const std::vector<float>& levels_db(trace which) const { return levels_db_[which]; }
    // The highest of the output's levels since the last clear.
    const std::vector<float>& peak_db() const { return peak_db_; }
    void clear_peaks();

    int sample_rate() const { return sample_rate_; }
    int size() const { return size_; }

private:
    void measure(trace which);
    void fold(trace which, double seconds);
    double column_power(int column) const;
    double peak_power(std::size_t bin) const;

    int sample_rate_;
    int size_;
    int input_delay_;
    std::vector<double> column_hz_;
    std::vector<double> column_edges_;  // in bins: column c spans edges[c] to edges[c + 1]
    int smoothing_ = 0;
    double rise_seconds_ = 0.0, fall_seconds_ = 0.0;
    float slope_db_per_octave_ = 0.0f;

    dsp_fft_spec* spec_ = nullptr;
    std::vector<unsigned char> work_;
    std::vector<float> window_;
    double sine_scale_ = 0.0;     // from a bin's squared magnitude to a sine's power
    std::vector<float> history_;  // both traces interleaved, a ring of history_frames_
    int history_frames_;
    int written_ = 0;  // frames ever taken, modulo history_frames_
    int frames_since_[trace_count] = {};
    std::vector<float> buffer_;                 // the transform, in place
    std::vector<double> power_;                 // per bin, as dB of a sine
    std::vector<double> peaked_;                // the same, each local maximum raised to its peak
    std::vector<double> cumulative_;            // running sums of power_
    std::vector<double> average_[trace_count];  // per column
    std::vector<float> levels_db_[trace_count];
    std::vector<float> peak_db_;
};

}  // namespace dsp
