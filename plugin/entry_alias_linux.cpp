// Linux hosts may look the entry point up as "main". C++ cannot declare a
// function of that name with this signature, so it gets it as its symbol.
#include "plugin/vst2/aeffect.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audio_master);

extern "C" __attribute__((visibility("default"))) AEffect* vst_main_entry(audioMasterCallback audio_master) __asm__(
    "main");

AEffect* vst_main_entry(audioMasterCallback audio_master) { return VSTPluginMain(audio_master); }
