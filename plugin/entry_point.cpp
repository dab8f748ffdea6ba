// The stereo plug-in's one entry point (exported a second time as "main").
#include "plugin/create_effect.h"

extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audio_master) {
    return plugin::create_effect(audio_master, core::stereo_edition);
}
