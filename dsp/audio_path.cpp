// The per-block audio path of VST_Plugin: aligned copies, the engine, the
// dry delay line that keeps the unfiltered signal time-aligned, the master
// gain. Nothing here allocates, frees or waits beyond the engine's locks.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "dsp/partitioned_convolver.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "plugin/vst_plugin.h"

namespace {

constexpr int kLoadBufferLength = VST_Plugin::kMaxFirLength;

float* allocate_zeroed(int count) {
    float* block = dsp_alloc_floats(count);
    if (block) dsp_set(0.0f, block, count);
    return block;
}


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

}  // namespace

void VST_Plugin::allocate_audio_buffers() {
    aligned_inputs = new (std::nothrow) float*[num_vst_channels]();
    if (!aligned_inputs) throw std::runtime_error("Memory allocation error on aligned_inputs");
    for (int ch = 0; ch < num_vst_channels; ++ch) {
        aligned_inputs[ch] = allocate_zeroed(max_block_size);
        if (!aligned_inputs[ch]) throw std::runtime_error("Memory allocation error (aligned_inputs)");
    }

    aligned_multistage_outputs = new (std::nothrow) float**[1]();
    if (!aligned_multistage_outputs)
        throw std::runtime_error("Memory allocation error on aligned_multistage_outputs (channel)");
    aligned_multistage_outputs[0] = new (std::nothrow) float*[num_vst_channels]();
    if (!aligned_multistage_outputs[0])
        throw std::runtime_error("Memory allocation error on aligned_multistage_outputs (stage)");
    for (int ch = 0; ch < num_vst_channels; ++ch) {
        aligned_multistage_outputs[0][ch] = allocate_zeroed(max_block_size);
        if (!aligned_multistage_outputs[0][ch])
            throw std::runtime_error("Memory allocation error (aligned_multistage_outputs: num_vst_channels)");
    }

    multichannel_fir_eq_load_buffer = new (std::nothrow) float*[2]();
    if (!multichannel_fir_eq_load_buffer)
        throw std::runtime_error("malloc error on multichannel_fir_eq_load_buffer[channel_count]");
    // Cleared, so a first hand-over with the filters off loads silence.
    for (int ch = 0; ch < 2; ++ch) {
        multichannel_fir_eq_load_buffer[ch] = allocate_zeroed(kLoadBufferLength);
        if (!multichannel_fir_eq_load_buffer[ch])
            throw std::runtime_error("malloc error on multichannel_fir_eq_load_buffer[channel_count]");
    }
}

void VST_Plugin::free_audio_buffers() {
    // Only what was allocated is released: a construction that failed half
    // way leaves the rest null.
    if (aligned_inputs) {
        for (int ch = 0; ch < num_vst_channels; ++ch) dsp_free(aligned_inputs[ch]);
        delete[] aligned_inputs;
        aligned_inputs = nullptr;
    }
    if (aligned_multistage_outputs) {
        if (aligned_multistage_outputs[0]) {
            for (int ch = 0; ch < num_vst_channels; ++ch) dsp_free(aligned_multistage_outputs[0][ch]);
            delete[] aligned_multistage_outputs[0];
        }
        delete[] aligned_multistage_outputs;
        aligned_multistage_outputs = nullptr;
    }
    if (multichannel_fir_eq_load_buffer) {
        for (int ch = 0; ch < 2; ++ch) dsp_free(multichannel_fir_eq_load_buffer[ch]);
        delete[] multichannel_fir_eq_load_buffer;
        multichannel_fir_eq_load_buffer = nullptr;
    }
}

void VST_Plugin::setup_dry_delay_line() {
    const int latency = (fir_length / 2) * 2;
    dry_delay_write_index = latency;
    dry_delay_read_index = 0;
    dry_delay_length = latency + max_block_size;
    dry_delay_line = new (std::nothrow) float*[num_vst_channels]();
    if (!dry_delay_line) throw std::runtime_error("Memory allocation error");
    for (int ch = 0; ch < num_vst_channels; ++ch) {
        dry_delay_line[ch] = allocate_zeroed(dry_delay_length);
        if (!dry_delay_line[ch]) throw std::runtime_error("Memory allocation error");
    }
}

void VST_Plugin::free_dry_delay_line() {
    if (!dry_delay_line) return;
    for (int ch = 0; ch < num_vst_channels; ++ch) dsp_free(dry_delay_line[ch]);
    delete[] dry_delay_line;
    dry_delay_line = nullptr;
}

void VST_Plugin::process_dry_delay(float** channels, int n) {
    const int length = dry_delay_length;
    if (n > length) throw std::runtime_error("Received too many samples for dry delay line.");
    if (!channels || !channels[0] || !dry_delay_line || !dry_delay_line[0])
        throw std::runtime_error("Dry delay line null pointer error.");

    // Writing before reading lets a block longer than the delay read samples
    // written in this same call.
    for (int remaining = n; remaining > 0;) {
        const int d = std::min(remaining, length - dry_delay_write_index);
        for (int ch = 0; ch < 2; ++ch) dsp_copy(channels[ch] + (n - remaining), dry_delay_line[ch] + dry_delay_write_index, d);
        dry_delay_write_index = (dry_delay_write_index + d) % length;
        remaining -= d;
    }
    int done = 0;
    for (int remaining = n; remaining > 0;) {
        const int d = std::min(remaining, length - dry_delay_read_index);
        for (int ch = 0; ch < 2; ++ch) dsp_copy(dry_delay_line[ch] + dry_delay_read_index, channels[ch] + (n - remaining), d);
        done += d;
        dry_delay_read_index = (dry_delay_read_index + d) % length;
        remaining -= d;
    }
    if (done != n) throw std::runtime_error("Processed incorrect number of samples in main body (dry delay line).");
}

void VST_Plugin::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    // Hosts have been seen passing null buffers; there is nothing safe to do.
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
    const denormals_off_scope denormals_off;
    try {
        process_block(inputs, outputs, frames);
    } catch (const std::exception& e) {
        report_error(e.what(), ": Seen during process_replacing", delivery::queued);
    } catch (...) {
        report_error("Unhandled exception", ": Seen during process_replacing", delivery::queued);
    }
}

void VST_Plugin::process_block(float** inputs, float** outputs, int n) {
    const bool too_long = max_block_size < n || n > kMaxBlock;
    if (!is_processing_enabled() || too_long) {
        // Plain zeros: an input of NaN or infinity times 0 would not be silent.
        for (int ch = 0; ch < 2; ++ch) dsp_set(0.0f, outputs[ch], n);
        return;
    }

    for (int ch = 0; ch < 2; ++ch) copy_flushing_subnormals(inputs[ch], aligned_inputs[ch], n);

    const program_record* record = current_program.load(std::memory_order_relaxed);
    const float filters = record->value(kFilters);
    const float gain = output_gain(record->value(kGain));
    float** stage_outputs = aligned_multistage_outputs[0];

    if (filters != 0.0f && convolver) convolver->convolve(aligned_inputs, stage_outputs, n);
    process_dry_delay(aligned_inputs, n);
    if (filters == 0.0f)
        for (int ch = 0; ch < num_vst_channels; ++ch) dsp_copy(aligned_inputs[ch], stage_outputs[ch], n);

    for (int ch = 0; ch < num_vst_channels; ++ch) {
        dsp_scale_inplace(gain, stage_outputs[ch], n);
        dsp_copy(stage_outputs[ch], outputs[ch], n);
    }
}
