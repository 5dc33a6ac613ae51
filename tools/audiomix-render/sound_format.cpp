#include "sound_format.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace audiomix_render {

namespace {

struct Extension {
    const char* text;
    Container container;
};
constexpr Extension kExtensions[] = {
    {".wav", Container::Wav},   {".rf64", Container::Rf64}, {".w64", Container::W64},
    {".flac", Container::Flac}, {".ogg", Container::Ogg},   {".oga", Container::Ogg},
    {".aif", Container::Aiff},  {".aiff", Container::Aiff}, {".aifc", Container::Aiff},
};

// The name of one format code. SFC_GET_FORMAT_INFO looks the code up;
// SFC_GET_FORMAT_MAJOR and _SUBTYPE take an index into libsndfile's list.
std::string format_code_name(int code) {
    SF_FORMAT_INFO info{};
    info.format = code;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name) return info.name;
    char text[32];
    std::snprintf(text, sizeof text, "format 0x%x", static_cast<unsigned>(code));
    return text;
}

}  // namespace

std::optional<Container> container_for_extension(const std::string& extension) {
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Extension& e : kExtensions)
        if (lower == e.text) return e.container;
    return std::nullopt;
}

const char* known_extensions() { return "wav, rf64, w64, flac, ogg, aiff"; }

bool plan_write(Container requested, uint64_t dataBytes, uint64_t limitBytes, WritePlan& plan, std::string& error) {
    plan = WritePlan{requested, false};
    if (dataBytes <= limitBytes) return true;
    if (requested == Container::Wav) {
        plan.container = Container::Rf64;
        plan.promoted = true;
        return true;
    }
    if (requested == Container::Aiff) {
        error = "AIFF counts its data in 32 bits and this output would hold " + std::to_string(dataBytes) +
                " bytes; write .wav (RF64 past 4 GiB), .w64 or .flac";
        return false;
    }
    return true;
}

int sndfile_format(Container container) {
    switch (container) {
        case Container::Wav: return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case Container::Rf64: return SF_FORMAT_RF64 | SF_FORMAT_PCM_16;
        case Container::W64: return SF_FORMAT_W64 | SF_FORMAT_PCM_16;
        case Container::Flac: return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case Container::Ogg: return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case Container::Aiff: return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    }
    return 0;
}

const char* container_name(Container container) {
    switch (container) {
        case Container::Wav: return "WAV";
        case Container::Rf64: return "RF64";
        case Container::W64: return "W64";
        case Container::Flac: return "FLAC";
        case Container::Ogg: return "Ogg Vorbis";
        case Container::Aiff: return "AIFF";
    }
    return "?";
}

std::string describe_sndfile_format(int format) {
    return format_code_name(format & SF_FORMAT_TYPEMASK) + ", " + format_code_name(format & SF_FORMAT_SUBMASK);
}

}  // namespace audiomix_render
