// Who the plug-ins are to CLAP hosts. Their ids are what hosts save in
// projects: they never change.
#include "clap/eq_plugin.h"
#include "core/product.h"

namespace clap {

namespace {

constexpr const char* features[] = {"audio-effect", "equalizer", "stereo", nullptr};

constexpr clap_plugin_descriptor stereo_descriptor{format_version,
                                                   "com.ravelthorpe.tessvane-le",
                                                   core::product_name,
                                                   core::vendor_name,
                                                   "",
                                                   "",
                                                   "",
                                                   core::version_text,
                                                   "Stereo linear-phase equaliser",
                                                   features};

constexpr clap_plugin_descriptor mid_side_descriptor{format_version,
                                                     "com.ravelthorpe.tessvane-le-ms",
                                                     core::mid_side_edition.name,
                                                     core::vendor_name,
                                                     "",
                                                     "",
                                                     "",
                                                     core::version_text,
                                                     "Linear-phase equaliser, each band on the stereo, mid or side",
                                                     features};

}  // namespace

const offered_plugin stereo_plugin{stereo_descriptor, core::stereo_edition};
const offered_plugin mid_side_plugin{mid_side_descriptor, core::mid_side_edition};

}  // namespace clap
