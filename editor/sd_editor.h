// The plug-in's editor window: the global controls and the FIR-length menu
// on the "Linear EQ" page, the five band pages, the response display, the
// busy indicator and the about view, each control bound to its parameter
// by its tag.
//
// Threads: open, close, idle, controlChanged and the edit reports run on
// the host's user-interface thread. setParameter (the refresh) may come
// from any thread, ir_pass_started/ir_pass_finished from the IR worker:
// they touch the controls only under views_mutex_, which close also takes
// to withdraw the controls before deleting the frame, so they never reach a
// deleted view. The lock is held for a few value stores and redraw
// requests, never across a call into the plug-in or the host.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "gui/control.h"
#include "gui/editor_interface.h"
#include "plugin/aeff_editor.h"

namespace VSTGUI {
class CAnimKnob;
class CMovieBitmap;
class COnOffButton;
class COptionMenu;
class CParamDisplay;
class CTabView;
class CTextLabel;
class CVerticalSwitch;
}  // namespace VSTGUI

class CSplashScreen_ext1;
class CTabView_ext1;
class CVisPanel;
class VST_Plugin;
struct band_readout;

// What the editor holds while it is open; all null while it is closed. The
// frame owns every one of them.
struct editor_controls {
    struct band_row {
        VSTGUI::COnOffButton* powerButton = nullptr;
        VSTGUI::CVerticalSwitch* typeSwitch = nullptr;
        VSTGUI::CAnimKnob* freqKnob = nullptr;
        VSTGUI::CAnimKnob* gainKnob = nullptr;
        VSTGUI::CAnimKnob* qKnob = nullptr;
        VSTGUI::CTextLabel* typeLabel = nullptr;
        VSTGUI::CParamDisplay* freqDisplay = nullptr;
        VSTGUI::CParamDisplay* gainDisplay = nullptr;
        VSTGUI::CParamDisplay* qDisplay = nullptr;
    };

    VSTGUI::CAnimKnob* masterGainKnob = nullptr;
    VSTGUI::CParamDisplay* masterGainDisplay = nullptr;
    VSTGUI::COnOffButton* filtersButton = nullptr;
    VSTGUI::COptionMenu* firLengthMenu = nullptr;
    VSTGUI::CMovieBitmap* busyIndicator = nullptr;
    CVisPanel* visPanel = nullptr;
    CTabView_ext1* mainTabView = nullptr;
    VSTGUI::CTabView* bandTabView = nullptr;
    CSplashScreen_ext1* splashScreen = nullptr;
    band_row bandControls[5];
};

class SDEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface, public VSTGUI::CControlListener {
public:
    static constexpr int kWidth = 607;
    static constexpr int kHeight = 383;

    explicit SDEditor(VST_Plugin* plugin);
    ~SDEditor() override;

    // Hosts ask for the size before they open the editor.
    bool getRect(ERect** rect) override;
    // False when no window can be made in the parent (bad id, no display).
    bool open(void* parent_window) override;
    void close() override;
    void idle() override;
    bool onKeyDown(VstKeyCode&) override { return false; }
    bool onKeyUp(VstKeyCode&) override { return false; }
    bool setKnobMode(VstInt32 mode) override;
    // Re-reads parameter `index` from the plug-in; the value is not used.
    void setParameter(VstInt32 index, float value) override;
    void ir_pass_started() override;
    void ir_pass_finished() override;

    void controlChanged(VSTGUI::CControl* control) override;
    void beginEdit(int tag) override;
    void endEdit(int tag) override;
    int getKnobMode() const override { return knob_mode(); }

    // The response display renders anew at its next paint; any thread.
    void mark_response_for_render();
    // Whether the "Filters" button shows on; editor thread.
    bool filters_button_on() const;
    // The controls as they are now, for inspection; editor thread.
    const editor_controls& controls() const { return controls_; }

    // One knob mode for the whole library; 2 means linear drags.
    static VstInt32 knob_mode() { return knob_mode_.load(std::memory_order_relaxed); }

private:
    void build_layout(VSTGUI::CFrame& new_frame, editor_controls& built);
    void build_linear_eq_page(VSTGUI::CViewContainer& page, editor_controls& built);
    void build_band_page(int band, VSTGUI::CViewContainer& page, editor_controls::band_row& row);
    VSTGUI::CControl* control_for(int index) const;
    void refresh_readout(int index, const band_readout& band);
    void mark_response_locked();

    VST_Plugin* plugin_;
    ERect rect_{0, 0, kHeight, kWidth};
    float knobFineFactor = 1.0f;
    std::uint32_t last_master_idle_ms_ = 0;
    mutable std::mutex views_mutex_;
    editor_controls controls_;
    static std::atomic<VstInt32> knob_mode_;
};
