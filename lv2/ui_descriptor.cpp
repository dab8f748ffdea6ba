// The UI module's entry point: the descriptors of the stereo plug-in's UI and
// the M/S one's that LV2 hosts look up, their calls handed to eq_ui.
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>

#include <cstring>
#include <iterator>
#include <new>

#include "lv2/bundle_names.h"
#include "lv2/eq_ui.h"

namespace lv2plugin {

namespace {

eq_ui* ui_of(LV2UI_Handle handle) { return static_cast<eq_ui*>(handle); }

LV2UI_Handle instantiate(const LV2UI_Descriptor* descriptor, const char*, const char*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) {
    try {
        const bool mid_side = std::strcmp(descriptor->URI, mid_side_ui_uri) == 0;
        return eq_ui::create({write, controller, nullptr}, widget, features, mid_side).release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) { delete ui_of(handle); }

void port_event(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    ui_of(handle)->port_event(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) { return ui_of(handle)->idle(); }

const LV2UI_Idle_Interface idle_interface = {idle};

uint32_t get_options(LV2UI_Handle, LV2_Options_Option*) { return LV2_OPTIONS_ERR_BAD_KEY; }
uint32_t set_options(LV2UI_Handle handle, const LV2_Options_Option* options) {
    return ui_of(handle)->set_options(options);
}

const LV2_Options_Interface options_interface = {get_options, set_options};

const void* extension_data(const char* uri) {
    if (!std::strcmp(uri, LV2_UI__idleInterface)) return &idle_interface;
    if (!std::strcmp(uri, LV2_OPTIONS__interface)) return &options_interface;
    return nullptr;
}

const LV2UI_Descriptor descriptors[] = {{ui_uri, instantiate, cleanup, port_event, extension_data},
                                        {mid_side_ui_uri, instantiate, cleanup, port_event, extension_data}};

}  // namespace

}  // namespace lv2plugin

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index < std::size(lv2plugin::descriptors) ? &lv2plugin::descriptors[index] : nullptr;
}
