#include "dsp/analyser.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "dsp/dsp.h"

namespace dsp {

namespace {

constexpr double widest_bin_hz = 1.5;
constexpr int largest_order = 17;
constexpr double silent_power = 1e-20;
constexpr float silent_db = -200.0f;
constexpr double two_pi = 6.283185307179586;

// Four-term Blackman-Harris, periodic: sidelobes at -92 dB.
std::vector<float> blackman_harris(int size) {
    std::vector<float> window(std::size_t(size), 0.0f);
    for (int i = 0; i < size; ++i) {
        const double t = two_pi * i / size;
        window[std::size_t(i)] =
            float(0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t));
    }
    return window;
}

double smoothing_factor(double seconds, double time_constant) {
    return time_constant > 0.0 ? 1.0 - std::exp(-seconds / time_constant) : 1.0;
}

}  // namespace

int spectrum_analyser::transform_size(int sample_rate) {
    int order = 10;
    while (order<largest_order&& double(sample_rate) / double(1 << order)> widest_bin_hz) ++order;
    return 1 << order;
}

spectrum_analyser::spectrum_analyser(int sample_rate, int input_delay, std::vector<double> column_hz)
    : sample_rate_(sample_rate > 0 ? sample_rate : 44100),
      size_(transform_size(sample_rate_)),
      input_delay_(std::max(input_delay, 0)),
      column_hz_(std::move(column_hz)),
      window_(blackman_harris(size_)),
      history_frames_(size_ + input_delay_),
      buffer_(std::size_t(size_) + 2),
      power_(std::size_t(size_ / 2) + 1),
      cumulative_(power_.size() + 1),
      peak_db_(column_hz_.size(), silent_db) {
    int order = 0;
    while ((1 << order) < size_) ++order;
    int work_bytes = 0;
    if (dsp_fft_spec_create(&spec_, order, DSP_FFT_NODIV_BY_ANY, 0) != dsp_ok ||
        dsp_fft_work_size(spec_, &work_bytes) != dsp_ok) {
        dsp_fft_spec_free(spec_);
        throw std::runtime_error("Memory allocation error");
    }
    work_.resize(std::size_t(work_bytes));
    // A sine of amplitude A gives a bin of A * sum(window) / 2.
    double window_sum = 0.0;
    for (float w : window_) window_sum += w;
    sine_scale_ = 4.0 / (window_sum * window_sum);
    history_.assign(2 * std::size_t(history_frames_), 0.0f);
    for (int t = 0; t < trace_count; ++t) {
        average_[t].assign(column_hz_.size(), 0.0);
        levels_db_[t].assign(column_hz_.size(), silent_db);
    }
    set_smoothing(0);
}

spectrum_analyser::~spectrum_analyser() { dsp_fft_spec_free(spec_); }

void spectrum_analyser::set_ballistics(double rise_seconds, double fall_seconds) {
    rise_seconds_ = rise_seconds;
    fall_seconds_ = fall_seconds;
}

// Unsmoothed, column c spans from the geometric middle between it and its
// left neighbour to that with its right one.
void spectrum_analyser::set_smoothing(int per_octave) {
    smoothing_ = std::max(per_octave, 0);
    const double bin_hz = double(sample_rate_) / size_;
    const std::size_t n = column_hz_.size();
    column_edges_.assign(2 * n, 0.0);
    for (std::size_t c = 0; c < n; ++c) {
        double low = 0.0, high = 0.0;
        if (smoothing_ > 0) {
            const double half_band = std::exp2(0.5 / smoothing_);
            low = column_hz_[c] / half_band;
            high = column_hz_[c] * half_band;
        } else {
            const double left =
                c > 0 ? column_hz_[c - 1] : column_hz_[c] * column_hz_[c] / column_hz_[c + 1 < n ? c + 1 : c];
            const double right = c + 1 < n ? column_hz_[c + 1] : column_hz_[c] * column_hz_[c] / left;
            low = std::sqrt(left * column_hz_[c]);
            high = std::sqrt(right * column_hz_[c]);
        }
        column_edges_[2 * c] = low / bin_hz;
        column_edges_[2 * c + 1] = high / bin_hz;
    }
}

void spectrum_analyser::take(const float* output, const float* input, int count) {
    for (int i = 0; i < count; ++i) {
        float* frame = history_.data() + 2 * std::size_t(written_);
        frame[output_trace] = output[i];
        frame[input_trace] = input[i];
        if (++written_ == history_frames_) written_ = 0;
    }
    for (int& frames : frames_since_) frames += count;
}

void spectrum_analyser::update(bool output, bool input) {
    const bool shown[trace_count] = {output, input};
    for (int t = 0; t < trace_count; ++t) {
        const double seconds = double(frames_since_[t]) / sample_rate_;
        frames_since_[t] = 0;
        if (shown[t]) {
            measure(trace(t));
            fold(trace(t), seconds);
        } else {
            // Shown again later, a trace starts afresh.
            std::fill(average_[t].begin(), average_[t].end(), 0.0);
            std::fill(levels_db_[t].begin(), levels_db_[t].end(), silent_db);
        }
    }
}

void spectrum_analyser::clear_peaks() { std::fill(peak_db_.begin(), peak_db_.end(), silent_db); }

void spectrum_analyser::measure(trace which) {
    const int delay = which == input_trace ? input_delay_ : 0;
    int position = written_ - delay - size_;
    while (position < 0) position += history_frames_;
    for (int i = 0; i < size_; ++i) {
        buffer_[std::size_t(i)] = history_[2 * std::size_t(position) + which] * window_[std::size_t(i)];
        if (++position == history_frames_) position = 0;
    }
    dsp_fft_forward_ccs_inplace(buffer_.data(), spec_, work_.data());

    const std::size_t bins = power_.size();
    for (std::size_t k = 0; k < bins; ++k) {
        const double re = buffer_[2 * k], im = buffer_[2 * k + 1];
        power_[k] = (re * re + im * im) * sine_scale_;
        cumulative_[k + 1] = cumulative_[k] + power_[k];
    }
}

// The window's main lobe is near Gaussian: a parabola through the logs of a
// maximum and its neighbours finds the peak between bins.
double spectrum_analyser::peak_power(std::size_t k) const {
    const double here = power_[k];
    if (k == 0 || k + 1 >= power_.size()) return here;
    const double before = power_[k - 1], after = power_[k + 1];
    if (!(here > before && here >= after && before > silent_power && after > silent_power)) return here;
    const double a = std::log(before), b = std::log(here), c = std::log(after);
    const double curvature = a - 2.0 * b + c;
    if (curvature >= 0.0) return here;
    const double offset = 0.5 * (a - c) / curvature;
    return std::exp(b - 0.25 * (a - c) * offset);
}

double spectrum_analyser::column_power(int column) const {
    const double last = double(power_.size() - 1);
    const double low = std::min(column_edges_[2 * std::size_t(column)], last);
    const double high = std::min(column_edges_[2 * std::size_t(column) + 1], last);
    if (high - low < 1.0) {
        // Narrower than a bin: between the two nearest.
        const double x = std::min(0.5 * (low + high), last);
        const std::size_t k = std::size_t(x);
        const double t = x - double(k);
        return k + 1 < power_.size() ? (1.0 - t) * power_[k] + t * power_[k + 1] : power_[k];
    }
    if (smoothing_ == 0) {
        std::size_t strongest = std::size_t(std::ceil(low));
        for (std::size_t k = strongest + 1; k <= std::size_t(high); ++k)
            if (power_[k] > power_[strongest]) strongest = k;
        return peak_power(strongest);
    }
    // Bin k stands for the interval [k - 0.5, k + 0.5).
    const auto sum_below = [&](double x) {
        const std::size_t k = std::min(std::size_t(x), power_.size() - 1);
        return cumulative_[k] + (x - double(k)) * power_[k];
    };
    return (sum_below(high + 0.5) - sum_below(low + 0.5)) / (high - low);
}

void spectrum_analyser::fold(trace which, double seconds) {
    const double rise = smoothing_factor(seconds, rise_seconds_);
    const double fall = smoothing_factor(seconds, fall_seconds_);
    std::vector<double>& average = average_[which];
    std::vector<float>& levels = levels_db_[which];
    for (std::size_t c = 0; c < column_hz_.size(); ++c) {
        const double power = column_power(int(c));
        average[c] += (power > average[c] ? rise : fall) * (power - average[c]);
        if (!(average[c] > silent_power)) {
            levels[c] = silent_db;
            continue;
        }
        levels[c] = float(10.0 * std::log10(average[c]) + slope_db_per_octave_ * std::log2(column_hz_[c] / 1000.0));
        if (which == output_trace) peak_db_[c] = std::max(peak_db_[c], levels[c]);
    }
}

}  // namespace dsp
