// The module's one export, clap_entry: its factory names the two plug-ins,
// the stereo equaliser and the M/S one, and makes their instances. Loading and unloading have
// nothing to do.
#include <cstring>
#include <iterator>
#include <new>

#include "clap/eq_plugin.h"

namespace clap {

namespace {

const offered_plugin* const offered[] = {&stereo_plugin, &mid_side_plugin};

std::uint32_t CLAP_CALL get_plugin_count(const clap_plugin_factory*) { return std::size(offered); }

const clap_plugin_descriptor* CLAP_CALL get_plugin_descriptor(const clap_plugin_factory*, std::uint32_t index) {
    return index < std::size(offered) ? &offered[index]->descriptor : nullptr;
}

const clap_plugin* CLAP_CALL create_plugin(const clap_plugin_factory*, const clap_host* host, const char* id) {
    if (!host || !id || !version_is_compatible(host->clap_version)) return nullptr;
    for (const offered_plugin* choice : offered) {
        if (std::strcmp(id, choice->descriptor.id) != 0) continue;
        auto* plugin = new (std::nothrow) eq_plugin(host, *choice);
        return plugin ? plugin->plugin() : nullptr;
    }
    return nullptr;
}

constexpr clap_plugin_factory factory{get_plugin_count, get_plugin_descriptor, create_plugin};

bool CLAP_CALL entry_init(const char*) { return true; }
void CLAP_CALL entry_deinit() {}
const void* CLAP_CALL get_factory(const char* id) {
    return id && std::strcmp(id, plugin_factory_id) == 0 ? &factory : nullptr;
}

}  // namespace

}  // namespace clap

#if defined(_WIN32)
#define CLAP_EXPORT extern "C" __declspec(dllexport)
#else
#define CLAP_EXPORT extern "C" __attribute__((visibility("default")))
#endif

CLAP_EXPORT const clap::clap_plugin_entry clap_entry{clap::format_version, clap::entry_init, clap::entry_deinit,
                                                     clap::get_factory};
