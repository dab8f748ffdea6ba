// Who the plug-in is to CLAP hosts. The id is what hosts save in projects:
// it never changes.
#include "clap/eq_plugin.h"
#include "core/product.h"

namespace clap {

namespace {

constexpr const char* features[] = {"audio-effect", "equalizer", "stereo", nullptr};

}  // namespace

const clap_plugin_descriptor descriptor{format_version,
                                        "com.ravelthorpe.tessvane-le",
                                        core::product_name,
                                        core::vendor_name,
                                        "",
                                        "",
                                        "",
                                        core::version_text,
                                        "Stereo linear-phase equaliser",
                                        features};

}  // namespace clap
