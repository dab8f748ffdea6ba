// The equaliser's editor window: the global controls and the FIR-length
// menu on the "Linear EQ" page, the five band pages (with a band's placement
// in the M/S plug-in), the response display,
// the busy indicator and the about view, each control bound to its
// parameter by its tag. It reads and changes everything through its model.
//
// A notice (the FIR-length choice's) stays up beside the editor without
// holding up the host; the idle step handles its window.
//
// Threads: everything runs on the host's user-interface thread except
// parameter_changed, which may come from any thread, the audio thread
// included: it only marks the parameter, and the next idle step refreshes
// its control from the model. The busy indicator and the response follow
// the redesign worker by polling the model in the idle step.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "gui/control.h"
#include "gui/editor_interface.h"

namespace VSTGUI {
class CAnimKnob;
class CMovieBitmap;
class COnOffButton;
class COptionMenu;
class CParamDisplay;
class CTabView;
class CTextLabel;
class CVerticalSwitch;
class notice;
}  // namespace VSTGUI

namespace dsp {
struct band_readout;
}

namespace editor {

class about_splash;
class eq_model;
class main_tabs;
class response_view;

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
        // Stereo, Mid or Side: the M/S plug-in's alone.
        VSTGUI::COptionMenu* placeMenu = nullptr;
    };

    VSTGUI::CAnimKnob* masterGainKnob = nullptr;
    VSTGUI::CParamDisplay* masterGainDisplay = nullptr;
    VSTGUI::COnOffButton* filtersButton = nullptr;
    VSTGUI::COptionMenu* firLengthMenu = nullptr;
    VSTGUI::COptionMenu* analyserMenu = nullptr;  // opened by a right click on the response display
    VSTGUI::CMovieBitmap* busyIndicator = nullptr;
    response_view* responseView = nullptr;
    main_tabs* mainTabView = nullptr;
    VSTGUI::CTabView* bandTabView = nullptr;
    about_splash* splashScreen = nullptr;
    band_row bandControls[5];
};

class eq_editor : public VSTGUI::VSTGUIEditorInterface, public VSTGUI::CControlListener {
public:
    static constexpr int kWidth = 607;
    static constexpr int kHeight = 383;

    explicit eq_editor(eq_model& model);
    ~eq_editor() override;
    eq_editor(const eq_editor&) = delete;
    eq_editor& operator=(const eq_editor&) = delete;

    // False when no window can be made in the parent (bad id, no display).
    bool open(void* parent_window);

    // The host's scale for the editor (device pixels per logical one),
    // rounded to the nearest of 1, 1.25, 1.5, 1.75 and 2; an open editor
    // resizes at once. Without it the system's scale counts, else 1.
    void set_scale(double factor);
    double scale() const;
    // The window's size in device pixels at that scale.
    int device_width() const;
    int device_height() const;
    void close();
    void idle();
    // The control of parameter `index` shows the model's value at the next
    // idle step; any thread.
    void parameter_changed(int index);

    void controlChanged(VSTGUI::CControl* control) override;
    void beginEdit(int tag) override;
    void endEdit(int tag) override;
    int getKnobMode() const override { return knob_mode(); }

    // The editor's own window inside the parent; null while closed.
    void* window_handle() const;
    // What a host's run loop watches to call idle when events arrive; -1
    // while closed or where the platform has none.
    int event_descriptor() const;
    // The response display renders anew at its next paint.
    void mark_response_for_render();
    // Whether the "Filters" button shows on.
    bool filters_button_on() const;
    // The controls as they are now, for inspection.
    const editor_controls& controls() const { return controls_; }

    // One knob mode for the whole library; 2 means linear drags.
    static int knob_mode() { return knob_mode_.load(std::memory_order_relaxed); }
    static void set_knob_mode(int mode) { knob_mode_.store(mode, std::memory_order_relaxed); }

private:
    void build_layout(VSTGUI::CFrame& new_frame, editor_controls& built);
    void build_linear_eq_page(VSTGUI::CViewContainer& page, editor_controls& built);
    void build_band_page(int band, VSTGUI::CViewContainer& page, editor_controls::band_row& row);
    bool is_parameter(int tag) const;
    VSTGUI::CControl* control_for(int index) const;
    void refresh(int index);
    void refresh_readout(int index, const dsp::band_readout& band);
    void follow_redesign();
    void open_analyser_menu(VSTGUI::CPoint where);
    void apply_analyser_choice();

    eq_model& model_;
    void* parent_window_ = nullptr;
    double host_scale_ = 0.0;            // 0 until the host sets one
    mutable double system_scale_ = 0.0;  // 0 until asked
    // The FIR-length choice's notice while it is up; a new one replaces it.
    std::unique_ptr<VSTGUI::notice> notice_;
    float knobFineFactor = 1.0f;
    std::uint32_t last_master_idle_ms_ = 0;
    editor_controls controls_;
    // Parameters changed since the last idle step, one bit each.
    std::atomic<std::uint32_t> changed_parameters_{0};
    int passes_seen_ = 0;
    static std::atomic<int> knob_mode_;
};

}  // namespace editor
