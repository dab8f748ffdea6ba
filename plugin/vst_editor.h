// The equaliser's editor as the host adapter sees it: the window opcodes and
// the parameter refreshes go to editor::eq_editor, which reads the plug-in
// through its model.
#pragma once

#include <cstdint>

#include "editor/eq_editor.h"
#include "plugin/aeff_editor.h"

namespace plugin {

class vst_editor : public AEffEditor {
public:
    vst_editor(AudioEffect* effect, editor::eq_model& model) : AEffEditor(effect), editor_(model) {}

    // Hosts ask for the size before they open the editor: the device size
    // at the system's scale, as the editor will open.
    bool getRect(ERect** rect) override {
        rect_ = {0, 0, static_cast<std::int16_t>(editor_.device_height()),
                 static_cast<std::int16_t>(editor_.device_width())};
        *rect = &rect_;
        return true;
    }
    bool open(void* parent_window) override { return editor_.open(parent_window); }
    void close() override { editor_.close(); }
    void idle() override { editor_.idle(); }
    bool onKeyDown(VstKeyCode&) override { return false; }
    bool onKeyUp(VstKeyCode&) override { return false; }
    bool setKnobMode(VstInt32 mode) override {
        editor::eq_editor::set_knob_mode(mode);
        return true;
    }
    void setParameter(VstInt32 index, float) override { editor_.parameter_changed(index); }

    editor::eq_editor& editor() { return editor_; }

private:
    ERect rect_{0, 0, editor::eq_editor::kHeight, editor::eq_editor::kWidth};
    editor::eq_editor editor_;
};

}  // namespace plugin
