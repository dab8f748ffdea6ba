// Writes the bundle's description from the port table at build time:
//   tessvane-lv2-ttl BUNDLE_DIR DSP_BINARY UI_BINARY MINOR_VERSION MICRO_VERSION
// gives BUNDLE_DIR/manifest.ttl, BUNDLE_DIR/tessvane-le.ttl (the stereo
// plug-in and its UI) and BUNDLE_DIR/tessvane-le-ms.ttl (the M/S plug-in,
// with its placements, and its UI). Both UIs live in the one UI binary.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "core/control_table.h"
#include "lv2/bundle_names.h"
#include "lv2/port_table.h"

namespace {

using namespace lv2plugin;

constexpr const char* description_file = "tessvane-le.ttl";
constexpr const char* mid_side_description_file = "tessvane-le-ms.ttl";

constexpr const char* prefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix rsz: <http://lv2plug.in/ns/ext/resize-port#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

// A Turtle decimal or double, exact for the float.
std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

void audio_port(std::ostream& out, std::uint32_t index, const char* direction, const char* symbol, const char* name) {
    out << "    [\n        a lv2:AudioPort, lv2:" << direction << " ;\n        lv2:index " << index
        << " ;\n        lv2:symbol \"" << symbol << "\" ;\n        lv2:name \"" << name << "\"\n    ]";
}

// The core's control at the port, by the names LV2 knows it by.
void control_input(std::ostream& out, int control, std::uint32_t port, const control_port& names) {
    using enum core::control_unit;
    const core::control_unit unit = core::control_at(control).unit;
    const core::unit_range range = core::range_of(control);
    out << "    [\n        a lv2:ControlPort, lv2:InputPort ;\n        lv2:index " << port
        << " ;\n        lv2:symbol \"" << names.symbol << "\" ;\n        lv2:name \"" << names.name << "\" ;\n";
    const bool whole = unit == toggle || unit == band_type || unit == placement;
    const auto value = [&](float v) { return whole ? std::to_string(static_cast<int>(v)) : number(v); };
    out << "        lv2:default " << value(range.default_value) << " ;\n        lv2:minimum " << value(range.minimum)
        << " ;\n        lv2:maximum " << value(range.maximum);
    switch (unit) {
        case master_gain_db:
        case band_gain_db: out << " ;\n        units:unit units:db"; break;
        case toggle: out << " ;\n        lv2:portProperty lv2:toggled"; break;
        case frequency_hz:
            out << " ;\n        units:unit units:hz ;\n        lv2:portProperty pprops:logarithmic";
            break;
        case q: out << " ;\n        lv2:portProperty pprops:logarithmic"; break;
        case band_type:
        case placement:
            out << " ;\n        lv2:portProperty lv2:integer, lv2:enumeration ;\n        lv2:scalePoint";
            for (int position = 0; position <= static_cast<int>(range.maximum); ++position)
                out << (position ? "," : "") << " [ rdfs:label \"" << core::choice_name(control, position)
                    << "\" ; rdf:value " << position << " ]";
            break;
    }
    out << "\n    ]";
}

std::string manifest(const std::string& dsp_binary, const std::string& ui_binary) {
    std::ostringstream out;
    out << prefixes << "<" << plugin_uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << dsp_binary
        << "> ;\n    rdfs:seeAlso <" << description_file << "> .\n\n"
        << "<" << mid_side_plugin_uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << dsp_binary
        << "> ;\n    rdfs:seeAlso <" << mid_side_description_file << "> .\n\n"
        << "<" << ui_uri << ">\n    a ui:X11UI ;\n    ui:binary <" << ui_binary << "> ;\n    rdfs:seeAlso <"
        << description_file << "> .\n\n"
        << "<" << mid_side_ui_uri << ">\n    a ui:X11UI ;\n    ui:binary <" << ui_binary << "> ;\n    rdfs:seeAlso <"
        << mid_side_description_file << "> .\n";
    return out.str();
}

// The stereo plug-in, or the M/S one with its placements, and its UI.
std::string description(const std::string& minor, const std::string& micro, bool mid_side) {
    const char* const plugin = mid_side ? mid_side_plugin_uri : plugin_uri;
    const char* const ui = mid_side ? mid_side_ui_uri : ui_uri;
    std::ostringstream out;
    out << prefixes << "<" << plugin << ">\n"
        << "    a lv2:Plugin, lv2:EQPlugin, doap:Project ;\n"
        << "    doap:name \"" << (mid_side ? "Tessvane LE M/S" : "Tessvane LE") << "\" ;\n"
        << "    doap:maintainer [ foaf:name \"Ravelthorpe\" ] ;\n"
        << "    lv2:minorVersion " << minor << " ;\n    lv2:microVersion " << micro << " ;\n"
        << "    lv2:optionalFeature lv2:hardRTCapable, urid:map ;\n";
    out << "    ui:ui <" << ui << "> ;\n";
    out << "    lv2:port\n";
    audio_port(out, in_left_port, "InputPort", "in_left", "In Left");
    out << ",\n";
    audio_port(out, in_right_port, "InputPort", "in_right", "In Right");
    out << ",\n";
    audio_port(out, out_left_port, "OutputPort", "out_left", "Out Left");
    out << ",\n";
    audio_port(out, out_right_port, "OutputPort", "out_right", "Out Right");
    for (int control = 0; control < control_port_count; ++control) {
        out << ",\n";
        control_input(out, control, port_of_control(control), control_ports[control]);
    }
    out << ",\n    [\n        a lv2:ControlPort, lv2:OutputPort ;\n        lv2:index " << latency_port
        << " ;\n        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n"
        << "        lv2:designation lv2:latency ;\n        lv2:portProperty lv2:reportsLatency, lv2:integer ;\n"
        << "        units:unit units:frame ;\n        lv2:minimum 0 ;\n        lv2:maximum " << dsp::max_fir_length
        << "\n    ],\n    [\n        a lv2:ControlPort, lv2:InputPort ;\n        lv2:index " << freewheel_port
        << " ;\n        lv2:symbol \"freewheel\" ;\n        lv2:name \"Freewheel\" ;\n"
        << "        lv2:designation lv2:freeWheeling ;\n"
        << "        lv2:portProperty lv2:toggled, pprops:notOnGUI ;\n"
        << "        lv2:default 0 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ],\n    [\n"
        << "        a lv2:InputPort, atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports atom:Bool ;\n        lv2:index " << analyser_request_port
        << " ;\n        lv2:symbol \"analyser_request\" ;\n        lv2:name \"Analyser request\" ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n    ],\n    [\n"
        << "        a lv2:OutputPort, atom:AtomPort ;\n        atom:bufferType atom:Sequence ;\n"
        << "        atom:supports atom:Vector ;\n        lv2:index " << analyser_port_index
        << " ;\n        lv2:symbol \"analyser\" ;\n        lv2:name \"Analyser\" ;\n"
        << "        rsz:minimumSize " << analyser_port_bytes << " ;\n"
        << "        lv2:portProperty lv2:connectionOptional\n    ]";
    for (int band = 0; mid_side && band < dsp::band_count; ++band) {
        out << ",\n";
        const int control = dsp::placement_control(band);
        control_input(out, control, port_of_control(control), placement_ports[band]);
    }
    out << " .\n\n";
    // Without the idle interface nothing would drive the editor: hosts that
    // cannot offer it show their own controls instead.
    out << "<" << ui << ">\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:parent, ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:touch, ui:resize, urid:map, opts:options ;\n"
        << "    opts:supportedOption ui:scaleFactor ;\n"
        << "    lv2:extensionData ui:idleInterface, opts:interface ;\n"
        << "    ui:portNotification [\n        ui:plugin <" << plugin
        << "> ;\n        lv2:symbol \"analyser\" ;\n        ui:protocol atom:eventTransfer\n    ] .\n";
    return out.str();
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR DSP_BINARY UI_BINARY MINOR_VERSION MICRO_VERSION\n", argv[0]);
        return 2;
    }
    const std::string bundle = argv[1];
    const bool written = write_file(bundle + "/manifest.ttl", manifest(argv[2], argv[3])) &&
                         write_file(bundle + "/" + description_file, description(argv[4], argv[5], false)) &&
                         write_file(bundle + "/" + mid_side_description_file, description(argv[4], argv[5], true));
    if (!written) std::fprintf(stderr, "%s: cannot write into %s\n", argv[0], bundle.c_str());
    return written ? 0 : 1;
}
