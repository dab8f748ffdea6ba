#include "dsp/linear_phase_eq.h"

#include <algorithm>
#include <exception>

#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "platform/clock.h"

namespace dsp {

namespace {

constexpr unsigned kCoalescingPauseMs = 50;

// Master gain as the multiplier 2·v; a value from a host or a chunk that is
// not a number or outside 0..1 must not reach the output unbounded.
float output_gain(float v) {
    if (!(v > 0.0f)) return 0.0f;
    return 2.0f * std::min(v, 1.0f);
}

// The host's samples enter through an addition, which denormals-are-zero
// turns into a flush: a subnormal input would otherwise reach the output
// unchanged on the dry path at unity gain.
void copy_flushing_subnormals(const float* source, float* target, int n) {
    dsp_set(0.0f, target, n);
    dsp_add_inplace(source, target, n);
}

// In place: halves, so that decoding is a plain sum and difference.
void encode_mid_side(float* const* channels, int n) {
    float* left = channels[0];
    float* right = channels[1];
    for (int i = 0; i < n; ++i) {
        const float mid = 0.5f * (left[i] + right[i]);
        right[i] = 0.5f * (left[i] - right[i]);
        left[i] = mid;
    }
}

void decode_mid_side(float* const* channels, int n) {
    float* mid = channels[0];
    float* side = channels[1];
    for (int i = 0; i < n; ++i) {
        const float left = mid[i] + side[i];
        side[i] = mid[i] - side[i];
        mid[i] = left;
    }
}

}  // namespace

linear_phase_eq::linear_phase_eq(float gain, float filters, failure_sink failures, stereo_coding coding)
    : failures_(std::move(failures)),
      design_(band_count, 44100, channel_count),
      gain_(gain),
      filters_(filters),
      coding_(coding) {}

linear_phase_eq::~linear_phase_eq() {
    // The worker reads everything below, so it ends first.
    worker_.reset();
}

void linear_phase_eq::start(int fir_length, int max_block) {
    fir_length_ = fir_length;
    max_block_ = max_block;
    input_ = std::make_unique<channel_buffers>(channel_count, max_block, "Memory allocation error (aligned_inputs)");
    filtered_ = std::make_unique<channel_buffers>(
        channel_count, max_block, "Memory allocation error (aligned_multistage_outputs: num_vst_channels)");
    // Cleared, so a first hand-over with the filters off loads silence.
    designed_fir_ = std::make_unique<channel_buffers>(channel_count, max_fir_length,
                                                      "malloc error on multichannel_fir_eq_load_buffer[channel_count]");
    dry_delay_ = std::make_unique<dry_delay_line>(channel_count, latency(), max_block);
    try {
        convolver_ = std::make_unique<partitioned_convolver>(channel_count, fir_length);
    } catch (const std::exception& e) {
        // The instance goes on with the dry path alone.
        failures_(e.what(), failure_stage::start);
    }
    // Both channels' FIRs differ only when coded mid/side.
    const int measured = coding_ == stereo_coding::mid_side ? channel_count : 1;
    try {
        for (int ch = 0; ch < measured; ++ch) magnitudes_[ch] = std::make_unique<fir_magnitude>(fir_length);
    } catch (const std::exception&) {
        // The editor then draws the bands' own curves.
        for (auto& magnitude : magnitudes_) magnitude.reset();
    }
    worker_ = std::make_unique<redesign_worker>([this] { return worker_pass(); });
}

void linear_phase_eq::stop() {
    if (worker_) worker_->stop();
}

void linear_phase_eq::set_filters(float v) {
    filters_.store(v, std::memory_order_relaxed);
    if (started() && !worker_lost()) clear_requested_.store(true, std::memory_order_relaxed);
    request_redesign();
}

void linear_phase_eq::set_band(int band, const band_values& values) {
    design_.apply_band(band, values);
    const bool known = band >= 0 && band < band_count;
    if (filters_.load(std::memory_order_relaxed) > 0)
        request_redesign_of(known ? firs_holding(placement_of_band(band)) : all_firs);
}

void linear_phase_eq::set_placement(int band, placement where) {
    if (coding_ != stereo_coding::mid_side || band < 0 || band >= band_count) return;
    const auto was = placement(placements_[band].exchange(where, std::memory_order_relaxed));
    if (was != where && filters_.load(std::memory_order_relaxed) > 0)
        request_redesign_of(firs_holding(was) | firs_holding(where));
}

void linear_phase_eq::request_redesign_of(unsigned firs) {
    // Marked before the request, so that the design that takes the request
    // also sees which FIRs it is for.
    stale_firs_.fetch_or(firs);
    redesign_requested_.store(true);
    if (started() && !worker_lost()) wake_worker();
}

void linear_phase_eq::wake_worker() {
    wake_pending_.store(true);
    try {
        worker_->wake();
    } catch (const std::runtime_error&) {
        worker_lost_.store(true, std::memory_order_relaxed);
        wake_pending_.store(false);
        throw;
    }
}

void linear_phase_eq::process(const float* const* inputs, float* const* outputs, int count, render_mode mode) {
    if (count > max_block_ || !started()) {
        // Plain zeros: an input of NaN or infinity times 0 would not be silent.
        for (int ch = 0; ch < channel_count; ++ch) dsp_set(0.0f, outputs[ch], count);
        return;
    }
    if (clear_requested_.exchange(false, std::memory_order_relaxed) && convolver_) convolver_->clear_history();
    const bool offline =
        mode == render_mode::offline ||
        (mode == render_mode::unknown &&
         pace_.offline_after(host_pace::clock::now(), count, sample_rate_hz_.load(std::memory_order_relaxed)));
    // A new response takes effect only when an engine block completes, so
    // the design waits for the call that completes one.
    if (offline && convolver_ && count >= convolver_->samples_to_block_end() && design_if_requested())
        designs_in_process_.fetch_add(1, std::memory_order_relaxed);

    for (int ch = 0; ch < channel_count; ++ch) copy_flushing_subnormals(inputs[ch], (*input_)[ch], count);
    const float filters = filters_.load(std::memory_order_relaxed);
    const float gain = output_gain(gain_.load(std::memory_order_relaxed));
    const bool convolving = filters != 0.0f && convolver_;
    if (convolving && coding_ == stereo_coding::mid_side) {
        for (int ch = 0; ch < channel_count; ++ch) dsp_copy((*input_)[ch], (*filtered_)[ch], count);
        encode_mid_side(filtered_->data(), count);
        convolver_->convolve(filtered_->data(), filtered_->data(), count);
        decode_mid_side(filtered_->data(), count);
        dry_delay_->keep(input_->data(), count);
    } else if (convolving) {
        convolver_->convolve(input_->data(), filtered_->data(), count);
        dry_delay_->keep(input_->data(), count);
    } else {
        // Delayed apart from the input, which the analyser still reads.
        for (int ch = 0; ch < channel_count; ++ch) dsp_copy((*input_)[ch], (*filtered_)[ch], count);
        dry_delay_->process(filtered_->data(), count);
    }
    // Without a convolution engine the instance runs dry.
    for (int ch = 0; ch < channel_count; ++ch) dsp_scale(gain, (*filtered_)[ch], outputs[ch], count);
    analyser_.write(input_->data(), outputs, count);
}

void linear_phase_eq::reset() {
    if (!started()) return;
    if (convolver_) convolver_->restart();
    dry_delay_->clear();
    pace_.reset();
    design_if_requested();
}

bool linear_phase_eq::design_if_requested() {
    std::lock_guard design(design_mutex_);
    // Cleared before the design: a change during it asks for another.
    if (!redesign_requested_.exchange(false)) return false;
    const unsigned stale = stale_firs_.exchange(0);
    // The same floating-point mode on every thread that designs, so that
    // the worker, a reset and an offline block make the same FIR bit for bit.
    const denormals_off_scope denormals_off;
    if (filters_.load(std::memory_order_relaxed) > 0) {
        design_stale_firs(stale);
        designs_.fetch_add(1, std::memory_order_relaxed);
    }
    if (convolver_) convolver_->load_response(designed_fir_->data(), fir_length_);
    return true;
}

void linear_phase_eq::design_stale_firs(unsigned stale) {
    if (coding_ == stereo_coding::left_right) {
        design_.design_fir(designed_fir_->data(), fir_length_);
        for (auto& count : channel_designs_) count.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    // A FIR whose bands did not change keeps its last design.
    for (int ch = 0; ch < channel_count; ++ch) {
        if (!(stale >> ch & 1u)) continue;
        const unsigned rows =
            rows_of_half(ch == 0 ? place_mid : place_side, [this](int band) { return placement_of_band(band); });
        design_.design_fir_of_rows((*designed_fir_)[ch], fir_length_, rows);
        channel_designs_[ch].fetch_add(1, std::memory_order_relaxed);
    }
}

bool linear_phase_eq::worker_pass() {
    busy_.store(true);
    wake_pending_.store(false);
    try {
        if (redesign_requested_.load()) {
            // Changes arriving meanwhile only set the request again and are
            // covered by this design; so is a request that a reset or an
            // offline block carried out in the meantime.
            platform::sleep_ms(kCoalescingPauseMs);
            design_if_requested();
        }
        measure_latest_design();
        passes_.fetch_add(1, std::memory_order_relaxed);
        busy_.store(false);
        return true;
    } catch (const std::exception& e) {
        busy_.store(false);
        failures_(e.what(), failure_stage::worker);
    } catch (...) {
        busy_.store(false);
        failures_("", failure_stage::worker);
    }
    return false;
}

void linear_phase_eq::measure_latest_design() {
    if (!magnitudes_[0]) return;
    std::lock_guard design(design_mutex_);
    const int design_count = designs_.load(std::memory_order_relaxed);
    std::lock_guard measurement(magnitude_mutex_);
    if (design_count == measured_design_) return;
    for (int ch = 0; ch < channel_count; ++ch)
        if (magnitudes_[ch]) magnitudes_[ch]->measure((*designed_fir_)[ch]);
    measured_design_ = design_count;
}

bool linear_phase_eq::fir_response_db(const double* frequencies, float* db, int count, int channel) const {
    if (channel < 0 || channel >= channel_count) return false;
    const fir_magnitude* magnitude = magnitudes_[channel].get();
    if (!magnitude || !settled() || !(filters_.load(std::memory_order_relaxed) > 0)) return false;
    std::lock_guard measurement(magnitude_mutex_);
    if (measured_design_ == 0 || measured_design_ != designs_.load(std::memory_order_relaxed)) return false;
    for (int i = 0; i < count; ++i) db[i] = magnitude->db_at(frequencies[i]);
    return true;
}

}  // namespace dsp
