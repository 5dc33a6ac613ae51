// Writes the bundle's description beside the plugin binary: manifest.ttl,
// audiomix.ttl (both plugins and their ports, from the parameter table) and
// presets.ttl (the built-in equaliser presets).
//
//   audiomix-lv2-ttl BUNDLE_DIR BINARY_NAME
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "model/builtin_presets.h"
#include "plugins/lv2/ports.h"

namespace {

using namespace audiomix;
using namespace audiomix::lv2;

const PluginKind kKinds[] = {kStereo, kMono};

constexpr const char kPrefixes[] =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

// A number as Turtle reads it: always with a decimal point, so it is a
// decimal and not an integer literal, which some hosts read differently.
std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string quoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string preset_uri(const PluginKind& kind, int index) {
    return std::string(kind.uri) + ":preset:" + std::to_string(index);
}

std::string manifest(const std::string& binary) {
    std::ostringstream out;
    out << kPrefixes;
    for (const PluginKind& kind : kKinds) {
        out << "<" << kind.uri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binary << "> ;\n"
            << "    rdfs:seeAlso <audiomix.ttl> .\n\n";
        for (int i = 0; i < static_cast<int>(sizeof kBuiltinPresets / sizeof kBuiltinPresets[0]); ++i)
            out << "<" << preset_uri(kind, i) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kind.uri
                << "> ;\n    rdfs:seeAlso <presets.ttl> .\n\n";
    }
    return out.str();
}

std::string unit_of(const ParamInfo& info) {
    const std::string unit = info.unit;
    if (unit == "dB") return "units:db";
    if (unit == "ms") return "units:ms";
    if (unit == "m") return "units:m";
    return {};
}

std::string control_port(int32_t index, int32_t control) {
    const ParamInfo& info = control_info(control);
    const std::string name = control_name(control);
    std::ostringstream out;
    out << "    [\n        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol " << quoted(port_symbol(name)) << " ;\n";
    std::string label = info.meaning;
    if (control >= kFixedParamCount) label = "band " + std::to_string(control - kFixedParamCount) + " gain";
    out << "        lv2:name " << quoted(label) << " ;\n"
        << "        rdfs:comment " << quoted(name + ": " + info.meaning) << " ;\n"
        << "        lv2:default " << number(info.defaultValue) << " ;\n"
        << "        lv2:minimum " << number(info.minimum) << " ;\n"
        << "        lv2:maximum " << number(info.maximum);
    switch (info.kind) {
        case ParamKind::Switch: out << " ;\n        lv2:portProperty lv2:toggled , lv2:integer"; break;
        case ParamKind::Integer: out << " ;\n        lv2:portProperty lv2:integer"; break;
        case ParamKind::BandCount:
            out << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration ;\n        lv2:scalePoint";
            for (int n : {10, 15, 25, 31})
                out << (n == 10 ? " " : " , ") << "[ rdfs:label \"" << n << " bands\" ; rdf:value " << number(n)
                    << " ]";
            break;
        case ParamKind::Continuous: break;
    }
    const std::string unit = unit_of(info);
    if (!unit.empty()) out << " ;\n        units:unit " << unit;
    out << "\n    ]";
    return out.str();
}

std::string audio_port(int32_t index, bool input, int32_t channel, int32_t channels) {
    static const char* const kSides[] = {"left", "right"};
    const std::string side = channels == 1 ? "" : std::string("_") + (channel == 0 ? "l" : "r");
    const std::string label = channels == 1 ? "" : std::string(" ") + kSides[channel];
    std::ostringstream out;
    out << "    [\n        a lv2:" << (input ? "InputPort" : "OutputPort") << " , lv2:AudioPort ;\n"
        << "        lv2:index " << index << " ;\n"
        << "        lv2:symbol \"" << (input ? "in" : "out") << side << "\" ;\n"
        << "        lv2:name \"" << (input ? "Input" : "Output") << label << "\"\n    ]";
    return out.str();
}

std::string plugins() {
    std::ostringstream out;
    out << kPrefixes;
    for (const PluginKind& kind : kKinds) {
        out << "<" << kind.uri << ">\n    a lv2:Plugin , lv2:EQPlugin ;\n"
            << "    doap:name " << quoted(kind.name) << " ;\n"
            << "    rdfs:comment \"Graphic equaliser (10, 15, 25 or 31 bands), reverb and compressor on 16-bit "
               "samples.\" ;\n"
            << "    lv2:optionalFeature lv2:hardRTCapable ;\n"
            << "    lv2:port\n";
        int32_t index = 0;
        for (int32_t c = 0; c < kind.channels; ++c) out << audio_port(index++, true, c, kind.channels) << " ,\n";
        for (int32_t c = 0; c < kind.channels; ++c) out << audio_port(index++, false, c, kind.channels) << " ,\n";
        for (int32_t k = 0; k < kControlPorts; ++k)
            out << control_port(index++, k) << (k + 1 < kControlPorts ? " ,\n" : " .\n\n");
    }
    return out.str();
}

std::string presets() {
    std::ostringstream out;
    out << kPrefixes;
    for (const PluginKind& kind : kKinds) {
        int i = 0;
        for (const BuiltinPreset& p : kBuiltinPresets) {
            out << "<" << preset_uri(kind, i++) << ">\n    a pset:Preset ;\n    lv2:appliesTo <" << kind.uri
                << "> ;\n    rdfs:label " << quoted(std::string(p.name) + " (" + std::to_string(p.bandCount) + ")")
                << " ;\n    lv2:port [ lv2:symbol \"eq_bands\" ; pset:value " << number(p.bandCount) << " ]";
            for (int b = 0; b < kBandPorts; ++b)
                out << " ,\n        [ lv2:symbol \"eq_band_" << b << "\" ; pset:value "
                    << number(b < 10 ? p.gains[b] : 0) << " ]";
            out << " .\n\n";
        }
    }
    return out.str();
}

bool write(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary);
    file << text;
    file.close();
    if (!file) std::fprintf(stderr, "audiomix-lv2-ttl: could not write %s\n", path.c_str());
    return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: audiomix-lv2-ttl BUNDLE_DIR BINARY_NAME\n");
        return 2;
    }
    const std::string dir = argv[1];
    const bool ok = write(dir + "/manifest.ttl", manifest(argv[2])) && write(dir + "/audiomix.ttl", plugins()) &&
                    write(dir + "/presets.ttl", presets());
    return ok ? 0 : 1;
}
