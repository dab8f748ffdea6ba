#include "lv2/eq_ui.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "lv2/port_table.h"

namespace lv2plugin {

namespace {

struct offered_features {
    void* parent = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    bool idle_interface = false;
};

offered_features features_of(const LV2_Feature* const* features) {
    offered_features offered;
    for (int i = 0; features && features[i]; ++i) {
        const char* uri = features[i]->URI;
        void* data = features[i]->data;
        if (!std::strcmp(uri, LV2_UI__parent))
            offered.parent = data;
        else if (!std::strcmp(uri, LV2_UI__touch))
            offered.touch = static_cast<const LV2UI_Touch*>(data);
        else if (!std::strcmp(uri, LV2_UI__resize))
            offered.resize = static_cast<const LV2UI_Resize*>(data);
        else if (!std::strcmp(uri, LV2_URID__map))
            offered.map = static_cast<const LV2_URID_Map*>(data);
        else if (!std::strcmp(uri, LV2_OPTIONS__options))
            offered.options = static_cast<const LV2_Options_Option*>(data);
        else if (!std::strcmp(uri, LV2_UI__idleInterface))
            offered.idle_interface = true;
    }
    return offered;
}

// A number from the host's options (float, double or int); 0 when it gives
// none under `key_uri`.
double number_option(const LV2_URID_Map* map, const LV2_Options_Option* options, const char* key_uri) {
    if (!map || !options) return 0.0;
    LV2_URID_Map_Handle handle = map->handle;
    const LV2_URID key = map->map(handle, key_uri);
    const LV2_URID float_type = map->map(handle, LV2_ATOM__Float);
    const LV2_URID double_type = map->map(handle, LV2_ATOM__Double);
    const LV2_URID int_type = map->map(handle, LV2_ATOM__Int);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o) {
        if (o->key != key || !o->value) continue;
        if (o->type == float_type && o->size == sizeof(float)) return *static_cast<const float*>(o->value);
        if (o->type == double_type && o->size == sizeof(double)) return *static_cast<const double*>(o->value);
        if (o->type == int_type && o->size == sizeof(std::int32_t)) return *static_cast<const std::int32_t*>(o->value);
        return 0.0;
    }
    return 0.0;
}

// The rate from the host's options, whole hertz; 0 when it gives none usable.
int sample_rate_of(const offered_features& offered) {
    const double rate = number_option(offered.map, offered.options, LV2_PARAMETERS__sampleRate);
    return rate >= 1.0 && rate <= 1e7 ? static_cast<int>(rate) : 0;
}

}  // namespace

std::unique_ptr<eq_ui> eq_ui::create(const ui_host& host, LV2UI_Widget* widget, const LV2_Feature* const* features,
                                     bool mid_side) {
    offered_features offered = features_of(features);
    if (!offered.parent || !offered.idle_interface || !host.write) {
        std::fprintf(stderr, "Tessvane LE: the host offers no %s; use its own controls for the ports\n",
                     offered.parent ? "idle interface" : "parent window");
        return nullptr;
    }
    // LV2 hosts set no knob mode; their users expect linear vertical drags.
    editor::eq_editor::set_knob_mode(2);
    ui_host with_touch = host;
    with_touch.touch = offered.touch;
    std::unique_ptr<eq_ui> ui(new eq_ui(with_touch, sample_rate_of(offered), mid_side));
    if (offered.map) {
        ui->analyser_ = std::make_unique<analyser_feed>(with_touch, *offered.map);
        ui->model_.set_analyser_feed(ui->analyser_.get());
    }
    // The host's scale where it gives one, else the system's.
    if (const double scale = number_option(offered.map, offered.options, LV2_UI__scaleFactor); scale > 0.0)
        ui->editor_.set_scale(scale);
    if (!ui->editor_.open(offered.parent)) return nullptr;
    if (widget) *widget = ui->editor_.window_handle();
    ui->map_ = offered.map;
    ui->resize_ = offered.resize;
    ui->tell_size();
    return ui;
}

std::uint32_t eq_ui::set_options(const LV2_Options_Option* options) {
    const double scale = number_option(map_, options, LV2_UI__scaleFactor);
    if (!(scale > 0.0)) return LV2_OPTIONS_ERR_BAD_KEY;
    editor_.set_scale(scale);
    tell_size();
    return LV2_OPTIONS_SUCCESS;
}

void eq_ui::tell_size() {
    if (resize_) resize_->ui_resize(resize_->handle, editor_.device_width(), editor_.device_height());
}

void eq_ui::port_event(std::uint32_t port, std::uint32_t size, std::uint32_t format, const void* buffer) {
    if (port == analyser_port_index) {
        if (analyser_) analyser_->port_event(format, size, buffer);
        return;
    }
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    const int control = model_.take_port_value(port, value);
    if (control >= 0) editor_.parameter_changed(control);
}

int eq_ui::idle() {
    editor_.idle();
    return 0;
}

}  // namespace lv2plugin
