#include "plugin/tessvane_plugin.h"

#include <cstring>

#include "core/error_report.h"
#include "core/number_format.h"
#include "core/product.h"
#include "plugin/vst_editor.h"

namespace plugin {

tessvane_plugin::tessvane_plugin(audioMasterCallback audio_master, const core::edition& plugin)
    : AudioEffectX(audio_master, core::program_count, plugin.control_count),
      core::eq_instance(static_cast<core::host_link&>(*this), sampleRate, plugin) {
    setNumInputs(2);
    setNumOutputs(2);
    setUniqueID(plugin.vst2_unique_id);
    canProcessReplacing(true);
    programsAreChunks(true);
    setInitialDelay(latency());
    setEditor(new vst_editor(this, *this));
}

tessvane_plugin::~tessvane_plugin() {
    // The editor reads this object as its model.
    delete editor;
    editor = nullptr;
}

void tessvane_plugin::value_changed(int index, float value) {
    if (editor) editor->setParameter(index, value);
}

void tessvane_plugin::setSampleRate(float rate) {
    AudioEffect::setSampleRate(rate);
    set_sample_rate(rate);
}

void tessvane_plugin::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    // Hosts have been seen passing null buffers; there is nothing safe to do.
    if (frames <= 0 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1]) return;
    process(inputs, outputs, frames, is_processing_enabled() ? host_render_mode() : dsp::render_mode::unknown);
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

void tessvane_plugin::getParameterName(VstInt32 index, char* text) {
    if (has_control(index)) core::copy_bounded(text, core::control_at(index).name, kVstMaxParamStrLen);
}

void tessvane_plugin::getParameterLabel(VstInt32 index, char* label) {
    if (has_control(index)) core::copy_bounded(label, core::control_at(index).label, kVstMaxParamStrLen);
}

void tessvane_plugin::getParameterDisplay(VstInt32 index, char* text) {
    char display[core::display_capacity];
    parameter_display(index, display);
    if (has_control(index)) core::copy_bounded(text, display, kVstMaxParamStrLen);
}

void tessvane_plugin::getProgramName(char* name) {
    char field[sizeof(core::program_record::program_name) + 1];
    program_name(field);
    core::copy_bounded(name, field, kVstMaxProgNameLen);
}

bool tessvane_plugin::getProgramNameIndexed(VstInt32, VstInt32 index, char* text) {
    if (index < 0 || index >= core::program_count) return false;
    char field[sizeof(core::program_record::program_name) + 1];
    bank().name_of(index, field);
    std::memcpy(text, field, std::strlen(field) + 1);
    return true;
}

// Chunks are the records' own bytes; nothing is copied out and nothing allocated.
VstInt32 tessvane_plugin::getChunk(void** data, bool is_preset) {
    *data = const_cast<void*>(is_preset ? bank().program_image() : bank().bank_image());
    return is_preset ? core::program_image_size : core::bank_image_size;
}

VstInt32 tessvane_plugin::setChunk(const void* data, VstInt32 byte_size, bool is_preset) {
    return byte_size >= 0 && load_image(data, static_cast<std::size_t>(byte_size), is_preset) ? 1 : 0;
}

bool tessvane_plugin::getEffectName(char* name) {
    core::copy_bounded(name, plugin_edition().name, kVstMaxEffectNameLen);
    return true;
}

bool tessvane_plugin::getVendorString(char* text) {
    core::copy_bounded(text, core::vendor_name, kVstMaxVendorStrLen);
    return true;
}

bool tessvane_plugin::getProductString(char* text) {
    core::copy_bounded(text, plugin_edition().name, kVstMaxProductStrLen);
    return true;
}

VstInt32 tessvane_plugin::getVendorVersion() { return core::vendor_version; }

}  // namespace plugin
