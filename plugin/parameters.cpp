// The 27 parameters: names, labels, displays, and how a change reaches the
// bands and the IR worker.
#include "dsp/biquad_band.h"
#include "dsp/fir_cascaded_biquad.h"
#include "dsp/partitioned_convolver.h"
#include "plugin/aeff_editor.h"
#include "plugin/error_report.h"
#include "plugin/parameter_table.h"
#include "plugin/vst_plugin.h"

namespace {

bool is_parameter(VstInt32 index) { return index >= 0 && index < kNumParams; }

}  // namespace

program_record* VST_Plugin::refresh_current_program() {
    program_record* record = &programs[curProgram.load(std::memory_order_relaxed)];
    current_program.store(record, std::memory_order_relaxed);
    return record;
}

void VST_Plugin::getParameterName(VstInt32 index, char* text) {
    if (is_parameter(index)) copy_bounded(text, kParameters[index].name, kVstMaxParamStrLen);
}

void VST_Plugin::getParameterLabel(VstInt32 index, char* label) {
    if (is_parameter(index)) copy_bounded(label, kParameters[index].label, kVstMaxParamStrLen);
}

void VST_Plugin::getParameterDisplay(VstInt32 index, char* text) {
    const program_record* record = refresh_current_program();
    if (!is_parameter(index)) return;
    const float v = record->value(index);
    if (index == kGain) {
        dB2string(2.0f * v, text, kVstMaxParamStrLen);
        return;
    }
    if (index == kFilters) {
        copy_bounded(text, v > 0 ? "On" : "Off", kVstMaxParamStrLen);
        return;
    }
    // Band texts show the band's own values, after its limits. Without a
    // design object (locked early in construction) there is nothing to show.
    if (!fir_design) {
        copy_bounded(text, "", kVstMaxParamStrLen);
        return;
    }
    const int band = (index - kFirstBandParameter) / kBandSlotSize;
    const band_readout b = fir_design->read_band(band);
    switch ((index - kFirstBandParameter) % kBandSlotSize) {
        case kSlotOnOff: copy_bounded(text, b.on_off >= 0.5f ? "On" : "Off", kVstMaxParamStrLen); break;
        case kSlotMode: copy_bounded(text, biquad_band::type_name(b.type), kVstMaxParamStrLen); break;
        case kSlotFrequency: float2string(b.frequency, text, kVstMaxParamStrLen); break;
        case kSlotGain: float2string(b.gain, text, kVstMaxParamStrLen); break;
        case kSlotQ: float2string(b.q, text, kVstMaxParamStrLen); break;
    }
}

float VST_Plugin::getParameter(VstInt32 index) {
    const program_record* record = refresh_current_program();
    if (!is_processing_enabled() || !is_parameter(index)) return 0.0f;
    return record->value(index);
}

void VST_Plugin::setParameter(VstInt32 index, float value) {
    // Any thread may call this, the audio thread included: errors are queued.
    run_guarded(": Seen during setParameter", delivery::queued, nullptr, [&] {
        program_record* record = refresh_current_program();
        if (is_parameter(index)) record->set_value(index, value);

        bool redesign = false;
        if (index == kFilters) {
            if (is_processing_enabled() && convolver) convolver->clear_history();
            redesign = true;
        } else if (index >= kFirstBandParameter && index < kNumParams) {
            apply_band((index - kFirstBandParameter) / kBandSlotSize);
            redesign = record->value(kFilters) > 0;
        }
        if (redesign) request_ir_update();
    });
    if (editor) editor->setParameter(index, value);
}

void VST_Plugin::apply_band(int band) {
    if (band < 0 || band >= kNumBands || !fir_design) return;
    const program_record* record = current_program.load(std::memory_order_relaxed);
    const int slot = band_slot_start(band);
    band_values v;
    v.on_off = record->value(slot + kSlotOnOff);
    v.mode = record->value(slot + kSlotMode);
    v.frequency = record->value(slot + kSlotFrequency);
    v.gain = record->value(slot + kSlotGain);
    v.q = record->value(slot + kSlotQ);
    fir_design->apply_band(band, v);
}

void VST_Plugin::request_ir_update() {
    ir_update_lock.enter();
    ir_update_requested = true;
    ir_update_lock.leave();
    if (is_processing_enabled() && ir_thread) signal_ir_thread();
}
