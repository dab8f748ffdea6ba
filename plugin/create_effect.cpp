#include "plugin/create_effect.h"

#include <exception>
#include <new>

#include "core/error_report.h"
#include "plugin/tessvane_plugin.h"

namespace plugin {

AEffect* create_effect(audioMasterCallback audio_master, const core::edition& plugin) {
    if (!audio_master || audio_master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* instance = new tessvane_plugin(audio_master, plugin);
        return instance->getAeffect();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::exception& e) {
        // A construction the instance cannot survive (an impossible sample
        // rate) creates no instance; the user is told why.
        core::report_error(e.what(), ": Seen during constructor", core::delivery::modal);
        return nullptr;
    }
}

}  // namespace plugin
