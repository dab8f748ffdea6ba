// What the host adapter needs of an editor: the window opcodes, the key and
// knob-mode handlers and the per-parameter refresh. The adapter owns the
// editor and deletes it with itself.
#pragma once

#include "plugin/vst2/aeffect.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    // Stores the address of the editor's rectangle; true once it has.
    virtual bool getRect(ERect** rect) = 0;
    // Builds the window inside the host's parent window; true on success.
    virtual bool open(void* parent_window) = 0;
    virtual void close() = 0;
    virtual void idle() = 0;
    virtual bool onKeyDown(VstKeyCode& key) = 0;
    virtual bool onKeyUp(VstKeyCode& key) = 0;
    virtual bool setKnobMode(VstInt32 mode) = 0;
    // Refresh after a parameter change; may arrive on any thread, the audio
    // thread included.
    virtual void setParameter(VstInt32 index, float value) = 0;

protected:
    AudioEffect* effect;
};
