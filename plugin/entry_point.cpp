// The library's one entry point (exported a second time as "main").
#include <exception>
#include <new>

#include "core/error_report.h"
#include "plugin/tessvane_plugin.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audio_master) {
    if (!audio_master || audio_master(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    try {
        auto* plugin = new plugin::tessvane_plugin(audio_master);
        return plugin->getAeffect();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const std::exception& e) {
        // A construction the instance cannot survive (an impossible sample
        // rate) creates no instance; the user is told why.
        core::report_error(e.what(), ": Seen during constructor", core::delivery::modal);
        return nullptr;
    }
}
