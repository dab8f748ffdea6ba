// The LV2 UI: the equaliser's editor (editor/eq_editor.h) embedded in the
// host's parent window, over a model of port values (port_model.h). The host
// drives it through the idle interface, on its UI thread: each idle step
// takes the X events, refreshes what port events changed and paints. A host
// that offers no idle interface gets no UI (create answers null and says
// why on stderr): nothing else may pump the editor's window, and it then
// shows its own controls for the ports.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <memory>

#include "editor/eq_editor.h"
#include "lv2/analyser_feed.h"
#include "lv2/port_model.h"

namespace lv2plugin {

class eq_ui {
public:
    // Null when the host offers no parent window or no idle interface, or
    // the editor cannot open in the parent; *widget is the editor's window.
    // The M/S plug-in's UI has its placements too.
    static std::unique_ptr<eq_ui> create(const ui_host& host, LV2UI_Widget* widget, const LV2_Feature* const* features,
                                         bool mid_side);
    ~eq_ui() { editor_.close(); }
    eq_ui(const eq_ui&) = delete;
    eq_ui& operator=(const eq_ui&) = delete;

    // Float port values only (format 0); others are not ours to read.
    void port_event(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer);
    // 0: the UI stays open.
    int idle();
    // The host's options after instantiation: a new scale factor resizes the
    // editor at once. LV2_Options_Status bits.
    std::uint32_t set_options(const LV2_Options_Option* options);

private:
    eq_ui(const ui_host& host, int sample_rate, bool mid_side) : model_(host, sample_rate, mid_side), editor_(model_) {}

    // The editor's size to the host, where it offers resize.
    void tell_size();

    const LV2_URID_Map* map_ = nullptr;
    const LV2UI_Resize* resize_ = nullptr;
    std::unique_ptr<analyser_feed> analyser_;  // null without the host's URID map
    port_model model_;
    editor::eq_editor editor_;
};

}  // namespace lv2plugin
