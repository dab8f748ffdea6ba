// One instance of the equaliser, whatever the plug-in format: the engine
// (dsp/linear_phase_eq.h) with its start, FIR length and locked state, the
// program bank, the mapping from control to engine call, and the editor's
// model over a small host link. A front-end translates its host's calls
// into these and nothing more.
//
// Threads: construction, programs, chunks, sample rate, reset and
// destruction on the host's main thread; set_parameter and parameter on any
// thread, the audio thread included (they store values and wake the
// engine's worker, never waiting for a design); process on the audio thread;
// the editor model's calls on the editor's thread.
#pragma once

#include <atomic>
#include <memory>
#include <stdexcept>

#include "core/control_table.h"
#include "core/error_report.h"
#include "core/host_link.h"
#include "core/product.h"
#include "core/program_bank.h"
#include "dsp/linear_phase_eq.h"
#include "editor/eq_model.h"

namespace core {

// Rates whose whole hertz lie from 0 (unknown) to 192 kHz.
constexpr bool accepted_sample_rate(float rate) { return rate > -1.0f && rate < 192001.0f; }

class eq_instance : public editor::eq_model {
public:
    static constexpr int max_block = 131072;

    // Throws std::runtime_error for a rate that is not accepted. A failure
    // to start the engine is shown to the user and leaves the instance
    // locked: silent, latency 0 (or the FIR's, when only the start failed).
    eq_instance(host_link& host, float sample_rate, const edition& plugin = stereo_edition);
    ~eq_instance() override;
    eq_instance(const eq_instance&) = delete;
    eq_instance& operator=(const eq_instance&) = delete;

    bool is_processing_enabled() const { return processing_enabled_.load(std::memory_order_relaxed); }
    // Null only when construction failed before the bands were built.
    const dsp::linear_phase_eq* engine() const { return engine_.get(); }
    int latency() const { return latency_; }
    const edition& plugin_edition() const { return edition_; }
    int control_count() const { return edition_.control_count; }
    bool has_control(int index) const { return index >= 0 && index < edition_.control_count; }

    void set_sample_rate(float rate);
    void reset();
    // Silence while locked; blocks longer than max_block are silence too.
    // Outputs may be the inputs.
    void process(const float* const* inputs, float* const* outputs, int frames, dsp::render_mode mode);

    // Stores the value in the current program (any control of this plug-in;
    // a placement limited to its range), applies it and tells the editor.
    void set_parameter(int index, float value);
    // The text a host shows for the current value, within 8 characters.
    void parameter_display(int index, char (&text)[display_capacity]) const;
    // The text for any value: the current one's is parameter_display's.
    void value_display(int index, float value, char (&text)[display_capacity]) const;

    int program() const { return bank_.current(); }
    // Errors are shown before returning, or queued on the audio thread.
    void set_program(int program, delivery how = delivery::modal);
    const program_bank& bank() const { return bank_; }
    void rename_program(const char* name) { bank_.rename_current(name); }
    void program_name(char (&out)[sizeof(program_record::program_name) + 1]) const;
    // The bank image (or the current program's) loaded and applied; false
    // for an image of the wrong size, which changes nothing.
    bool load_image(const void* image, std::size_t size, bool program_only);
    // A bank image and the program to select in it, applied together.
    void load_bank(const unsigned char* bank_image, int program);

    // The editor's model.
    int parameter_count() const override { return control_count(); }
    float parameter(int index) const override;
    void change_parameter(int index, float value) override;
    void begin_edit(int index) override { host_.begin_host_edit(index); }
    void end_edit(int index) override { host_.end_host_edit(index); }
    dsp::band_readout band_readout(int band) const override;
    void band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const override;
    bool fir_response_db(const double* frequencies, float* db, int count) const override {
        return engine_ && engine_->fir_response_db(frequencies, db, count);
    }
    dsp::placement band_placement(int band) const override {
        return engine_ ? engine_->placement_of_band(band) : dsp::place_stereo;
    }
    bool side_fir_response_db(const double* frequencies, float* db, int count) const override {
        return engine_ && engine_->fir_response_db(frequencies, db, count, 1);
    }
    bool redesign_busy() const override { return engine_ && engine_->busy(); }
    int redesign_passes() const override { return engine_ ? engine_->passes() : 0; }
    int fir_length_in_use() const override { return fir_length_; }
    int stored_fir_length() const override;
    void store_fir_length(int length) override;
    int sample_rate() const override { return sample_rate_hz_.load(std::memory_order_relaxed); }
    int vendor_version() const override;
    void host_idle() override { host_.give_host_idle(); }
    void want_analyser_samples(bool wanted) override {
        if (engine_) engine_->analyser().set_wanted(wanted);
    }
    int take_analyser_samples(float* output, float* input, int max) override {
        return engine_ ? engine_->analyser().read(output, input, max) : 0;
    }

private:
    void apply_band(int band);
    void request_redesign();
    void enter_locked_state() { processing_enabled_.store(false, std::memory_order_relaxed); }
    void report_engine_failure(const std::string& text, dsp::failure_stage stage);

    host_link& host_;
    const edition& edition_;
    program_bank bank_;
    std::atomic<bool> processing_enabled_{false};
    std::atomic<int> sample_rate_hz_{44100};
    int fir_length_ = 0;
    int latency_ = 0;
    std::unique_ptr<dsp::linear_phase_eq> engine_;
    void* message_owner_ = nullptr;
};

}  // namespace core
