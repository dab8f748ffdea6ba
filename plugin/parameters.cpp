// The 27 parameters: names, labels, displays, and how a change reaches the
// engine and the editor.
#include "dsp/biquad_band.h"
#include "plugin/aeff_editor.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "plugin/tessvane_plugin.h"

namespace plugin {

namespace {

bool is_parameter(VstInt32 index) { return index >= 0 && index < kNumParams; }

}  // namespace

program_record* tessvane_plugin::refresh_current_program() const {
    program_record* record = &programs[curProgram.load(std::memory_order_relaxed)];
    current_program.store(record, std::memory_order_relaxed);
    return record;
}

void tessvane_plugin::getParameterName(VstInt32 index, char* text) {
    if (is_parameter(index)) copy_bounded(text, kParameters[index].name, kVstMaxParamStrLen);
}

void tessvane_plugin::getParameterLabel(VstInt32 index, char* label) {
    if (is_parameter(index)) copy_bounded(label, kParameters[index].label, kVstMaxParamStrLen);
}

void tessvane_plugin::getParameterDisplay(VstInt32 index, char* text) {
    const program_record* record = refresh_current_program();
    if (!is_parameter(index)) return;
    const float v = record->value(index);
    if (index == dsp::gain_control) {
        dB2string(2.0f * v, text, kVstMaxParamStrLen);
        return;
    }
    if (index == dsp::filters_control) {
        copy_bounded(text, v > 0 ? "On" : "Off", kVstMaxParamStrLen);
        return;
    }
    // Band texts show the band's own values, after its limits. Without the
    // bands (locked early in construction) there is nothing to show.
    if (!engine_) {
        copy_bounded(text, "", kVstMaxParamStrLen);
        return;
    }
    const dsp::band_readout b = engine_->read_band(dsp::band_of(index));
    switch (dsp::slot_of(index)) {
        case dsp::slot_on_off: copy_bounded(text, b.on_off >= 0.5f ? "On" : "Off", kVstMaxParamStrLen); break;
        case dsp::slot_mode: copy_bounded(text, dsp::biquad_band::type_name(b.type), kVstMaxParamStrLen); break;
        case dsp::slot_frequency: float2string(b.frequency, text, kVstMaxParamStrLen); break;
        case dsp::slot_gain: float2string(b.gain, text, kVstMaxParamStrLen); break;
        case dsp::slot_q: float2string(b.q, text, kVstMaxParamStrLen); break;
    }
}

float tessvane_plugin::getParameter(VstInt32 index) {
    const program_record* record = refresh_current_program();
    if (!is_processing_enabled() || !is_parameter(index)) return 0.0f;
    return record->value(index);
}

void tessvane_plugin::setParameter(VstInt32 index, float value) {
    // Any thread may call this, the audio thread included: the engine only
    // stores and wakes its worker, and errors are queued.
    run_guarded(": Seen during setParameter", delivery::queued, nullptr, [&] {
        program_record* record = refresh_current_program();
        if (is_parameter(index)) record->set_value(index, value);
        if (!engine_) return;
        if (index == dsp::gain_control)
            engine_->set_gain(value);
        else if (index == dsp::filters_control)
            engine_->set_filters(value);
        else if (dsp::is_band_control(index))
            apply_band(dsp::band_of(index));
    });
    if (engine_ && engine_->worker_lost()) enter_locked_state();
    if (editor) editor->setParameter(index, value);
}

void tessvane_plugin::apply_band(int band) {
    const program_record* record = current_program.load(std::memory_order_relaxed);
    const int slot = dsp::band_slot_start(band);
    dsp::band_values v;
    v.on_off = record->value(slot + dsp::slot_on_off);
    v.mode = record->value(slot + dsp::slot_mode);
    v.frequency = record->value(slot + dsp::slot_frequency);
    v.gain = record->value(slot + dsp::slot_gain);
    v.q = record->value(slot + dsp::slot_q);
    engine_->set_band(band, v);
}

void tessvane_plugin::request_redesign() {
    if (!engine_) return;
    try {
        engine_->request_redesign();
    } catch (const std::exception&) {
        enter_locked_state();
        throw;
    }
}

float tessvane_plugin::parameter(int index) const {
    const program_record* record = refresh_current_program();
    if (!is_processing_enabled() || !is_parameter(index)) return 0.0f;
    return record->value(index);
}

void tessvane_plugin::change_parameter(int index, float value) { setParameterAutomated(index, value); }

dsp::band_readout tessvane_plugin::band_readout(int band) const {
    return engine_ ? engine_->read_band(band) : dsp::band_readout{};
}

void tessvane_plugin::band_sections(dsp::section_coefficients (&out)[dsp::band_count]) const {
    // A pass-through section: what an instance without its bands shows.
    for (dsp::section_coefficients& band : out) band = {44100.0f, {1.0f, 0.0f, 0.0f, 0.0f, 0.0f}};
    if (engine_) engine_->read_sections(out);
    if (!(out[0].sample_rate > 0.0f)) out[0].sample_rate = 44100.0f;
}

}  // namespace plugin
