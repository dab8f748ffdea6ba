// The equaliser as a VST 2.x plug-in: the program bank and its chunks, the
// mapping from parameter index to engine call, the error convention, the
// locked state, and the editor's model. The engine (dsp/linear_phase_eq.h)
// does the audio.
//
// Threads: construction, dispatcher opcodes and destruction on the host's
// dispatcher thread; setParameter and getParameter on any thread, the audio
// thread included (they store values and wake the engine's worker, never
// waiting for a design); processReplacing on the audio thread, where it asks
// the host for its process level (a host rendering offline gets the new
// response designed in the block that needs it, and so does one that does
// not say but delivers blocks faster than real time); the editor model's calls
// on the editor's thread.
#pragma once

#include <atomic>
#include <memory>

#include "dsp/linear_phase_eq.h"
#include "editor/eq_model.h"
#include "plugin/audio_effect_x.h"
#include "plugin/program_record.h"

namespace plugin {

class tessvane_plugin : public AudioEffectX, public editor::eq_model {
public:
    static constexpr int kMaxBlock = 131072;
    static constexpr int kVendorVersion = 1004;

    explicit tessvane_plugin(audioMasterCallback audio_master);
    ~tessvane_plugin() override;

    void resume() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 frames) override;
    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(const char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(VstInt32 index, char* label) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    VstInt32 getChunk(void** data, bool is_preset) override;
    VstInt32 setChunk(const void* data, VstInt32 byte_size, bool is_preset) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getGetTailSize() override { return 2646000; }
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override { return kVendorVersion; }
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }

    bool is_processing_enabled() const { return processing_enabled.load(std::memory_order_relaxed); }
    // Null only when construction failed before the bands were built.
    const dsp::linear_phase_eq* engine() const { return engine_.get(); }

    // The editor's model.
    float parameter(int index) const override;
    void change_parameter(int index, float value) override;
    void begin_edit(int index) override { beginEdit(index); }
    void end_edit(int index) override { endEdit(index); }
    dsp::band_readout band_readout(int band) const override;
    void band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const override;
    bool fir_response_db(const double* frequencies, float* db, int count) const override {
        return engine_ && engine_->fir_response_db(frequencies, db, count);
    }
    bool redesign_busy() const override { return engine_ && engine_->busy(); }
    int redesign_passes() const override { return engine_ ? engine_->passes() : 0; }
    int fir_length_in_use() const override { return fir_length_; }
    int stored_fir_length() const override;
    void store_fir_length(int length) override;
    int sample_rate() const override { return sample_rate_hz.load(std::memory_order_relaxed); }
    int vendor_version() const override { return kVendorVersion; }
    void host_idle() override { masterIdle(); }

private:
    program_record* refresh_current_program() const;
    void apply_band(int band);
    void request_redesign();
    void enter_locked_state() { processing_enabled.store(false, std::memory_order_relaxed); }
    void report_engine_failure(const std::string& text, dsp::failure_stage stage);
    dsp::render_mode host_render_mode();

    std::unique_ptr<program_record[]> programs;
    mutable std::atomic<program_record*> current_program{nullptr};
    std::atomic<bool> processing_enabled{false};
    std::atomic<int> sample_rate_hz{44100};
    int fir_length_ = 0;
    std::unique_ptr<dsp::linear_phase_eq> engine_;
    void* message_owner = nullptr;
};

}  // namespace plugin
