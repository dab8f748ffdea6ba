// What the toolkit asks of the editor that owns a frame: where a user's
// gesture on a control begins and ends (so the host can group automation),
// and the host's knob mode. The editor derives from this and keeps its frame
// in `frame`.
#pragma once

namespace VSTGUI {

class CFrame;

class VSTGUIEditorInterface {
public:
    virtual ~VSTGUIEditorInterface() = default;

    virtual void beginEdit(int tag) { (void)tag; }
    virtual void endEdit(int tag) { (void)tag; }
    // 2 means linear knob drag; anything else circular.
    virtual int getKnobMode() const { return 0; }

    CFrame* getFrame() const { return frame; }

protected:
    CFrame* frame = nullptr;
};

}  // namespace VSTGUI
