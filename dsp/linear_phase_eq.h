// The equaliser without a host: five bands designed as biquads and applied
// together as one linear-phase FIR by partitioned FFT convolution, a dry
// delay line that keeps the unfiltered signal time-aligned, the master gain,
// the "Filters" switch, and the redesign worker that turns band changes into
// a new FIR in the background. A front-end (the VST 2.x plug-in, say) maps
// its host's calls onto these.
//
// Coded mid/side, the engine filters mid = (L + R) / 2 with the FIR of the
// bands placed on Stereo or Mid and side = (L - R) / 2 with that of the
// bands on Stereo or Side, then decodes L = M + S, R = M - S. A linear-phase
// FIR shifts nothing in time, so the two halves line up exactly; with every
// band on Stereo the output is the left/right engine's. Each FIR is designed
// only when a band it holds changes.
//
// Real-time contract, per call:
// - Construction builds the band grid; `start` allocates every buffer and
//   starts the worker. Both throw std::runtime_error with the failing
//   resource's message; after a failed `start` the bands still answer.
//   `stop` and destruction end the worker. Nothing else allocates.
// - process (audio thread): no allocation, no lock but the convolution
//   engine's short ones (partitioned_convolver.h), no throw. While an
//   analyser wants them, it copies each block's input and output into the
//   analyser's ring (analyser_ring.h).
// - set_gain, set_filters, set_band (any thread, the audio thread
//   included): atomic stores and a wake-up of the worker (an event: a lock
//   held for a few instructions); they never wait for a design. A wake-up
//   that fails throws "Thread error (SetEvent)..." and the worker is lost.
// - set_sample_rate, read_band, read_sections (not the audio thread): take
//   the band grid's lock, which a design holds only while it copies the
//   bands.
// - reset (the host's thread, while no audio runs): silences the histories,
//   starts a new engine block, and carries out a pending redesign before it
//   returns, so the first block already has the response.
// - The worker sleeps 50 ms after it is woken for a redesign, so a burst of
//   changes gives one design; the engine swaps the new response in between
//   two of its blocks. In an offline block (a host rendering faster than
//   real time) a pending redesign is instead carried out by process itself,
//   before the block that completes the engine's block is convolved, waiting
//   for a design the worker has under way: the response then follows the
//   controls at every engine block, the same on every render.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "dsp/analyser_ring.h"
#include "dsp/channel_buffers.h"
#include "dsp/dry_delay_line.h"
#include "dsp/eq_layout.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/fir_magnitude.h"
#include "dsp/host_pace.h"
#include "dsp/partitioned_convolver.h"
#include "dsp/redesign_worker.h"

namespace dsp {

// Where the engine's own failures go: those of `start` that leave it
// running dry (no convolution engine), on the starting thread, and the
// worker's, on its thread, after which the worker has ended. An unknown
// failure of the worker comes with an empty text.
enum class failure_stage { start, worker };
using failure_sink = std::function<void(const std::string& text, failure_stage stage)>;

// How the host runs the audio thread: against a device's deadline, or as
// fast as it can (an export or bounce), or unknown: judged then from how
// fast the blocks arrive (host_pace.h).
enum class render_mode { real_time, offline, unknown };

// What the two channels of the convolution carry.
enum class stereo_coding { left_right, mid_side };

class linear_phase_eq {
public:
    static constexpr int channel_count = 2;

    // The band grid at 44100 Hz; gain and filters are the controls' first
    // values (normalised, as set_gain and set_filters take them).
    linear_phase_eq(float gain, float filters, failure_sink failures, stereo_coding coding = stereo_coding::left_right);
    ~linear_phase_eq();
    linear_phase_eq(const linear_phase_eq&) = delete;
    linear_phase_eq& operator=(const linear_phase_eq&) = delete;

    // fir_length: a power of two up to max_fir_length; blocks of up to
    // max_block samples. Once only.
    void start(int fir_length, int max_block);
    bool started() const { return worker_ != nullptr; }
    // Ends the worker. When it cannot be woken this throws, and the object
    // must then be leaked, never destroyed (the worker may still run).
    void stop();
    bool must_be_leaked() const { return worker_ && worker_->left_running(); }
    bool worker_lost() const { return worker_lost_.load(std::memory_order_relaxed); }

    // Master gain: the output is multiplied by 2·v (v limited to 0..1).
    void set_gain(float v) { gain_.store(v, std::memory_order_relaxed); }
    // Filters on for any v other than 0 (designs only above 0). A change
    // silences the engine's history at the next block and asks for a design.
    void set_filters(float v);
    // A band's five normalised values; asks for a design while filters are on.
    void set_band(int band, const band_values& values);
    void set_sample_rate(int hz) {
        sample_rate_hz_.store(hz, std::memory_order_relaxed);
        design_.set_sample_rate(hz);
    }
    // Where a band works, mid/side coded only (every band is on Stereo
    // otherwise). Any thread, like set_band; asks for a design of the FIRs
    // the band leaves and joins while filters are on.
    void set_placement(int band, placement where);
    placement placement_of_band(int band) const { return placement(placements_[band].load(std::memory_order_relaxed)); }
    // Asks the worker for a design of the bands as they are now.
    void request_redesign() { request_redesign_of(all_firs); }

    // count samples per channel; a block longer than max_block() is
    // answered with silence. An output may be its input. Offline, this may
    // design (see above): no allocation still, but a design's time and a
    // wait for the worker's.
    void process(const float* const* inputs, float* const* outputs, int count,
                 render_mode mode = render_mode::real_time);
    void reset();

    int fir_length() const { return fir_length_; }
    int latency() const { return latency_for(fir_length_); }
    int max_block() const { return max_block_; }

    band_readout read_band(int band) const { return design_.read_band(band); }
    void read_sections(section_coefficients (&out)[band_count]) const { design_.read_sections(out, band_count); }
    // The magnitude in dB of the FIR in use at each of `count` frequencies
    // (cycles per sample, 0 to 0.5); false, writing nothing, while a
    // redesign is due or under way, before the first design, and while the
    // filters are off. The worker measures each new design after its pass's
    // design; the editor's thread reads it (a lock the audio thread never
    // takes). Coded mid/side, channel 1 is the side's FIR; left/right has
    // channel 0 alone.
    bool fir_response_db(const double* frequencies, float* db, int count, int channel = 0) const;
    // True from the worker's wake-up to the end of its pass.
    bool busy() const { return busy_.load(std::memory_order_relaxed); }
    // Worker passes made, FIRs designed so far, and how many of those
    // designs process made.
    int passes() const { return passes_.load(std::memory_order_relaxed); }
    int designs() const { return designs_.load(std::memory_order_relaxed); }
    int designs_in_process() const { return designs_in_process_.load(std::memory_order_relaxed); }
    // FIRs designed for one channel of the convolution (mid, side when coded so).
    int channel_designs(int channel) const { return channel_designs_[channel].load(std::memory_order_relaxed); }
    // True when the worker has no pass due and none under way: what was set
    // so far is in the loaded response (in effect from the next block).
    bool settled() const { return !wake_pending_.load() && !busy_.load(); }

    // What each block's input and output hand to an open analyser.
    analyser_ring& analyser() { return analyser_; }
    const analyser_ring& analyser() const { return analyser_; }

private:
    // One bit per channel of the convolution: the FIRs a change makes stale.
    static constexpr unsigned all_firs = (1u << channel_count) - 1;
    static constexpr unsigned firs_holding(placement where) {
        return where == place_stereo ? all_firs : 1u << (where == place_mid ? 0 : 1);
    }
    void request_redesign_of(unsigned firs);
    void design_stale_firs(unsigned stale);
    bool worker_pass();
    void wake_worker();
    // Designs and loads when a redesign is asked for; true when it did.
    bool design_if_requested();
    // Measures the latest design for fir_response_db, if not yet measured.
    void measure_latest_design();

    failure_sink failures_;
    fir_cascaded_biquad design_;
    std::atomic<float> gain_;
    std::atomic<int> sample_rate_hz_{44100};
    std::atomic<float> filters_;
    const stereo_coding coding_;
    std::atomic<int> placements_[band_count] = {};
    std::atomic<unsigned> stale_firs_{all_firs};
    std::atomic<int> channel_designs_[channel_count] = {};
    std::atomic<bool> clear_requested_{false};
    std::atomic<bool> redesign_requested_{false};
    std::atomic<bool> busy_{false};
    std::atomic<bool> wake_pending_{false};
    std::atomic<bool> worker_lost_{false};
    std::atomic<int> passes_{0};
    std::atomic<int> designs_{0};
    std::atomic<int> designs_in_process_{0};
    // Held by whoever designs and loads: the worker, a reset, an offline block.
    std::mutex design_mutex_;

    int fir_length_ = 0;
    int max_block_ = 0;
    std::unique_ptr<channel_buffers> input_;
    std::unique_ptr<channel_buffers> filtered_;
    std::unique_ptr<channel_buffers> designed_fir_;
    std::unique_ptr<dry_delay_line> dry_delay_;
    std::unique_ptr<partitioned_convolver> convolver_;
    std::unique_ptr<redesign_worker> worker_;
    host_pace pace_;                                            // audio thread, and reset
    std::unique_ptr<fir_magnitude> magnitudes_[channel_count];  // null when not had
    mutable std::mutex magnitude_mutex_;                        // the worker and the editor
    int measured_design_ = 0;                                   // designs_ when last measured, under magnitude_mutex_
    analyser_ring analyser_;
};

}  // namespace dsp
