// The plug-in's editor window.
#pragma once

#include <atomic>

#include "plugin/aeff_editor.h"

class VST_Plugin;

class SDEditor : public AEffEditor {
public:
    explicit SDEditor(VST_Plugin* plugin);

    // Hosts ask for the size before they open the editor.
    bool getRect(ERect** rect) override;
    bool open(void* parent_window) override;
    void close() override;
    void idle() override {}
    bool onKeyDown(VstKeyCode&) override { return false; }
    bool onKeyUp(VstKeyCode&) override { return false; }
    bool setKnobMode(VstInt32 mode) override;
    void setParameter(VstInt32, float) override {}
    void ir_pass_started() override {}
    void ir_pass_finished() override {}

    // One knob mode for the whole library; 2 means linear drags.
    static VstInt32 knob_mode() { return knob_mode_.load(std::memory_order_relaxed); }

private:
    ERect rect_{0, 0, 383, 607};
    static std::atomic<VstInt32> knob_mode_;
};
