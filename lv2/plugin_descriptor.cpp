// The DSP module's entry point: the descriptors of the stereo plug-in and
// the M/S one that LV2 hosts look up, their calls handed to eq_instance.
#include <lv2/core/lv2.h>

#include <cstring>
#include <iterator>
#include <new>

#include "lv2/bundle_names.h"
#include "lv2/eq_instance.h"

namespace lv2plugin {

namespace {

eq_instance* instance_of(LV2_Handle handle) { return static_cast<eq_instance*>(handle); }

LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sample_rate, const char*,
                       const LV2_Feature* const* features) {
    try {
        return eq_instance::create(sample_rate, features, std::strcmp(descriptor->URI, mid_side_plugin_uri) == 0)
            .release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void connect_port(LV2_Handle handle, uint32_t port, void* data) { instance_of(handle)->connect(port, data); }
void activate(LV2_Handle handle) { instance_of(handle)->activate(); }
void run(LV2_Handle handle, uint32_t samples) { instance_of(handle)->run(samples); }
void deactivate(LV2_Handle handle) { instance_of(handle)->deactivate(); }
void cleanup(LV2_Handle handle) { delete instance_of(handle); }
const void* extension_data(const char*) { return nullptr; }

const LV2_Descriptor descriptors[] = {
    {plugin_uri, instantiate, connect_port, activate, run, deactivate, cleanup, extension_data},
    {mid_side_plugin_uri, instantiate, connect_port, activate, run, deactivate, cleanup, extension_data}};

}  // namespace

}  // namespace lv2plugin

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < std::size(lv2plugin::descriptors) ? &lv2plugin::descriptors[index] : nullptr;
}
