#include "editor/sd_editor.h"

#include "plugin/vst_plugin.h"

std::atomic<VstInt32> SDEditor::knob_mode_{0};

SDEditor::SDEditor(VST_Plugin* plugin) : AEffEditor(plugin) {}

bool SDEditor::getRect(ERect** rect) {
    *rect = &rect_;
    return true;
}

// The window comes with the widget toolkit; until then there is none to open.
bool SDEditor::open(void*) { return false; }

void SDEditor::close() {}

bool SDEditor::setKnobMode(VstInt32 mode) {
    knob_mode_.store(mode, std::memory_order_relaxed);
    return true;
}
