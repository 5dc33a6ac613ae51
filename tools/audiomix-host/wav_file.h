// Reading 16-bit PCM WAV files: RIFF chunks walked by hand, nothing else
// accepted (the library processes 16-bit samples only).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct WavData {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
};

// Decodes a whole file held in memory. Returns an empty string, or why the
// bytes are not a usable 16-bit PCM WAV file (out is then left empty).
std::string decode_wav(const std::vector<uint8_t>& bytes, WavData& out);

}  // namespace host
