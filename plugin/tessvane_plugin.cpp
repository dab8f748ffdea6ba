#include "plugin/tessvane_plugin.h"

#include <cmath>
#include <stdexcept>

#include "dsp/denormals_off_scope.h"
#include "dsp/dsp.h"
#include "platform/message_box.h"
#include "platform/processor_probe.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "plugin/vst_editor.h"
#include "settings/fir_length_setting.h"

namespace plugin {

namespace {

// The rate truncated to whole hertz; one that no int holds (NaN,
// infinities, beyond 2^31) is taken as unknown, 0, like a host that has none.
int whole_hertz(float rate) { return std::fabs(rate) < 2147483648.0f ? static_cast<int>(rate) : 0; }

}  // namespace

tessvane_plugin::tessvane_plugin(audioMasterCallback audio_master)
    : AudioEffectX(audio_master, kNumPrograms, kNumParams) {
    dsp_init_dispatch();
    // The design objects are built with denormals off; the host's own mode
    // on this thread is given back however construction ends.
    const dsp::denormals_off_scope denormals_off;

    // Errors raised later on the audio thread are queued for this thread.
    platform::start_message_delivery();
    message_owner = platform::foreground_root_owner();
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(0x31303136);  // '1016'
    canProcessReplacing(true);

    const int rate = static_cast<int>(sampleRate);
    if (rate < 0 || rate > 192000) throw std::runtime_error("Invalid sample rate reported");
    sample_rate_hz = rate;

    programsAreChunks(true);
    programs = std::make_unique<program_record[]>(kNumPrograms);
    for (int i = 0; i < kNumPrograms; ++i) make_default_program(programs[i]);
    curProgram = 0;
    current_program = &programs[0];

    run_guarded(": Seen during constructor", delivery::modal, message_owner, [&] {
        if (platform::probe_sse_level() < 1)
            throw std::runtime_error("SSE instruction set required (Pentium III/Athlon XP or above).");
        engine_ = std::make_unique<dsp::linear_phase_eq>(
            programs[0].value(dsp::gain_control), programs[0].value(dsp::filters_control),
            [this](const std::string& text, dsp::failure_stage stage) { report_engine_failure(text, stage); });
        fir_length_ = settings::usable_fir_length(settings::read_fir_length_setting());
        setInitialDelay(dsp::latency_for(fir_length_));
        engine_->start(fir_length_, kMaxBlock);
        processing_enabled = true;
    });

    setEditor(new vst_editor(this, *this));
}

void tessvane_plugin::report_engine_failure(const std::string& text, dsp::failure_stage stage) {
    if (stage == dsp::failure_stage::start)
        report_error(text, ": Seen during constructor", delivery::modal);
    else if (text.empty())
        report_error("Unhandled exception in thread process loop, contact Ravelthorpe technical support.", "",
                     delivery::queued);
    else
        report_error(text, ": Seen during ThreadEntryPoint (main thread loop)", delivery::queued);
}

tessvane_plugin::~tessvane_plugin() {
    // The editor reads this object as its model.
    delete editor;
    editor = nullptr;
    run_guarded(": Seen during destructor", delivery::modal, nullptr, [&] {
        if (engine_) engine_->stop();
    });
    // A worker that could not be woken to end may still read the engine.
    if (engine_ && engine_->must_be_leaked()) static_cast<void>(engine_.release());
}

void tessvane_plugin::setSampleRate(float rate) {
    run_guarded(": Seen during setSampleRate", delivery::modal, nullptr, [&] {
        AudioEffect::setSampleRate(rate);
        sample_rate_hz = whole_hertz(rate);
        // The bands take the new rate before the program is filed again, so
        // that its frequencies are limited by the new rate alone and the
        // redesign it asks for uses it.
        if (engine_) engine_->set_sample_rate(sample_rate_hz);
        if (is_processing_enabled()) setProgram(curProgram);
    });
}

void tessvane_plugin::resume() {
    run_guarded(": Seen during resume", delivery::modal, nullptr, [&] {
        if (engine_) engine_->reset();
    });
}

void tessvane_plugin::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    // Hosts have been seen passing null buffers; there is nothing safe to do.
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
    const dsp::denormals_off_scope denormals_off;
    if (!is_processing_enabled()) {
        // Plain zeros: an input of NaN or infinity times 0 would not be silent.
        for (int ch = 0; ch < 2; ++ch) dsp_set(0.0f, outputs[ch], frames);
        return;
    }
    engine_->process(inputs, outputs, frames, host_render_mode());
}

// Hosts answer this on the audio thread, and cheaply. Offline lets the
// engine design there, so that a bounce faster than real time hears every
// change where it was made. Some hosts answer 0 even while they export
// (Ardour) and JUCE-based ones answer 0 in real time too: for those, and for
// any answer outside 1 to 4, the engine judges from the blocks' pace.
dsp::render_mode tessvane_plugin::host_render_mode() {
    switch (call_host(audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f)) {
        case kVstProcessLevelOffline: return dsp::render_mode::offline;
        case kVstProcessLevelUser:
        case kVstProcessLevelRealtime:
        case kVstProcessLevelPrefetch: return dsp::render_mode::real_time;
        default: return dsp::render_mode::unknown;
    }
}

int tessvane_plugin::stored_fir_length() const { return settings::stored_fir_length(); }

void tessvane_plugin::store_fir_length(int length) { settings::write_fir_length_setting(length); }

bool tessvane_plugin::getEffectName(char* name) {
    copy_bounded(name, "Tessvane LE", kVstMaxEffectNameLen);
    return true;
}

bool tessvane_plugin::getVendorString(char* text) {
    copy_bounded(text, "Ravelthorpe", kVstMaxVendorStrLen);
    return true;
}

bool tessvane_plugin::getProductString(char* text) {
    copy_bounded(text, "Tessvane LE", kVstMaxProductStrLen);
    return true;
}

}  // namespace plugin
