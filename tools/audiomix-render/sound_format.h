// Containers the tool writes, chosen from the output's extension, and the
// names libsndfile gives formats, for summaries and errors.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace audiomix_render {

enum class Container { Wav, Rf64, W64, Flac, Ogg, Aiff };

// ".wav", ".rf64", ".w64", ".flac", ".ogg"/".oga", ".aif"/".aiff"/".aifc",
// any case; nullopt for anything else (the caller names the extension).
std::optional<Container> container_for_extension(const std::string& extension);

// "wav, rf64, w64, flac, ogg, aiff": for messages.
const char* known_extensions();

// WAV and AIFF count their data in 32 bits: 4 GiB less their headers.
constexpr uint64_t kClassicDataLimit = 0xFFFFFFFFull - 4096;

// What is written for a requested container and this much sample data:
// WAV becomes RF64 past limitBytes, AIFF past it is refused (no 64-bit form
// libsndfile writes). False with the reason when refused.
struct WritePlan {
    Container container = Container::Wav;
    bool promoted = false;  // WAV written as RF64
};
bool plan_write(Container requested, uint64_t dataBytes, uint64_t limitBytes, WritePlan& plan, std::string& error);

// libsndfile's format word for a container: 16-bit PCM where it has it,
// Vorbis for Ogg.
int sndfile_format(Container container);

// "WAV (Microsoft), Signed 16 bit PCM": libsndfile's names for the major
// format and the subtype of a format word, looked up by code.
std::string describe_sndfile_format(int format);

// Short names for summaries: "WAV", "RF64", "FLAC"...
const char* container_name(Container container);

}  // namespace audiomix_render
