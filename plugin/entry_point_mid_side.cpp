// The M/S plug-in's one entry point (exported a second time as "main"),
// linked into its own module instead of the stereo one's.
#include "plugin/create_effect.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audio_master) {
    return plugin::create_effect(audio_master, core::mid_side_edition);
}
