#include "lilv_instance.h"

#include <lv2/atom/atom.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

struct loaded_world {
    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;

    loaded_world() {
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, LV2_BUNDLE_DIR "/");
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, "urn:ravelthorpe:tessvane-le");
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        if (!plugin) throw std::runtime_error("the bundle has no urn:ravelthorpe:tessvane-le");
    }
};

const loaded_world& world() {
    static const loaded_world the_world;
    return the_world;
}

const LilvPort* port_of(const std::string& symbol) {
    LilvNode* node = lilv_new_string(world().world, symbol.c_str());
    const LilvPort* port = lilv_plugin_get_port_by_symbol(world().plugin, node);
    lilv_node_free(node);
    if (!port) throw std::runtime_error("no port " + symbol);
    return port;
}

}  // namespace

lilv_instance::lilv_instance(double sample_rate, const LV2_Feature* const* features) {
    const LilvPlugin* plugin = world().plugin;
    const unsigned ports = lilv_plugin_get_num_ports(plugin);
    values_.assign(ports, 0.0f);
    std::vector<float> defaults(ports);
    lilv_plugin_get_port_ranges_float(plugin, nullptr, nullptr, defaults.data());
    for (unsigned i = 0; i < ports; ++i)
        if (!std::isnan(defaults[i])) values_[i] = defaults[i];
    instance_ = lilv_plugin_instantiate(plugin, sample_rate, features);
    if (!instance_) return;
    LilvNode* atom_port = lilv_new_uri(world().world, LV2_ATOM__AtomPort);
    for (unsigned i = 0; i < ports; ++i)
        if (!lilv_port_is_a(plugin, lilv_plugin_get_port_by_index(plugin, i), atom_port))
            lilv_instance_connect_port(instance_, i, &values_[i]);
    lilv_node_free(atom_port);
}

lilv_instance::~lilv_instance() {
    if (!instance_) return;
    if (active_) lilv_instance_deactivate(instance_);
    lilv_instance_free(instance_);
}

unsigned lilv_instance::index_of(const std::string& symbol) const {
    return lilv_port_get_index(world().plugin, port_of(symbol));
}

void lilv_instance::connect(const std::string& symbol, void* data) {
    lilv_instance_connect_port(instance_, index_of(symbol), data);
}

void lilv_instance::set(const std::string& symbol, float value) { values_[index_of(symbol)] = value; }

float lilv_instance::value(const std::string& symbol) const { return values_[index_of(symbol)]; }

void lilv_instance::activate() {
    lilv_instance_activate(instance_);
    active_ = true;
}

void lilv_instance::deactivate() {
    lilv_instance_deactivate(instance_);
    active_ = false;
}

std::vector<float> lilv_instance::run(const std::vector<float>& left, const std::vector<float>& right, int block) {
    const std::size_t length = left.size();
    std::vector<float> in_left(left), in_right(right), out_left(length), out_right(length);
    const unsigned ports[] = {index_of("in_left"), index_of("in_right"), index_of("out_left"), index_of("out_right")};
    for (std::size_t done = 0; done < length; done += block) {
        const std::size_t n = std::min<std::size_t>(block, length - done);
        float* buffers[] = {&in_left[done], &in_right[done], &out_left[done], &out_right[done]};
        for (int i = 0; i < 4; ++i) lilv_instance_connect_port(instance_, ports[i], buffers[i]);
        lilv_instance_run(instance_, static_cast<uint32_t>(n));
    }
    return out_left;
}

void lilv_instance::run_block(float* const (&buffers)[4], unsigned frames) {
    // The audio ports come first, in this order.
    for (unsigned port = 0; port < 4; ++port) lilv_instance_connect_port(instance_, port, buffers[port]);
    lilv_instance_run(instance_, frames);
}

std::vector<std::string> lilv_instance::control_inputs() const {
    LilvWorld* w = world().world;
    LilvNode* control = lilv_new_uri(w, LILV_URI_CONTROL_PORT);
    LilvNode* input = lilv_new_uri(w, LILV_URI_INPUT_PORT);
    std::vector<std::string> symbols;
    for (unsigned i = 0; i < lilv_plugin_get_num_ports(world().plugin); ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(world().plugin, i);
        if (lilv_port_is_a(world().plugin, port, control) && lilv_port_is_a(world().plugin, port, input))
            symbols.push_back(lilv_node_as_string(lilv_port_get_symbol(world().plugin, port)));
    }
    lilv_node_free(control);
    lilv_node_free(input);
    return symbols;
}

float lilv_instance::minimum(const std::string& symbol) const {
    LilvNode* low = nullptr;
    lilv_port_get_range(world().plugin, port_of(symbol), nullptr, &low, nullptr);
    const float v = lilv_node_as_float(low);
    lilv_node_free(low);
    return v;
}

float lilv_instance::maximum(const std::string& symbol) const {
    LilvNode* high = nullptr;
    lilv_port_get_range(world().plugin, port_of(symbol), nullptr, nullptr, &high);
    const float v = lilv_node_as_float(high);
    lilv_node_free(high);
    return v;
}

std::vector<float> unit_impulse(int length) {
    std::vector<float> signal(static_cast<std::size_t>(length), 0.0f);
    signal[0] = 1.0f;
    return signal;
}
