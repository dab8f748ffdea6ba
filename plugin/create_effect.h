// What each plug-in module's entry point does: checks its host, then builds
// its edition of the plug-in (core/product.h) and hands over the AEffect.
#pragma once

#include "core/product.h"
#include "plugin/vst2/aeffect.h"

namespace plugin {

// Null for a host that answers no version, and when construction fails.
AEffect* create_effect(audioMasterCallback audio_master, const core::edition& plugin);

}  // namespace plugin
