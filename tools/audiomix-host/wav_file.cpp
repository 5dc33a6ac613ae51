#include "wav_file.h"

#include <cstddef>

namespace host {

namespace {

uint32_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
uint32_t le32(const std::vector<uint8_t>& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

constexpr uint32_t kFormatPcm = 1;
constexpr uint32_t kFormatExtensible = 0xFFFE;

}  // namespace

std::string decode_wav(const std::vector<uint8_t>& bytes, WavData& out) {
    out = WavData{};
    if (bytes.size() < 12 || le32(bytes, 0) != 0x46464952u /* RIFF */ || le32(bytes, 8) != 0x45564157u /* WAVE */)
        return "not a RIFF WAVE file";
    bool have_format = false;
    WavData wav;
    int bits = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const uint32_t id = le32(bytes, at), size = le32(bytes, at + 4);
        const size_t body = at + 8;
        // A chunk may claim more than the file holds: a truncated data chunk
        // still gives the whole frames it has.
        const size_t available = bytes.size() - body < size ? bytes.size() - body : size;
        if (id == 0x20746D66u /* "fmt " */) {
            if (available < 16) return "format chunk too short";
            uint32_t tag = le16(bytes, body);
            wav.channels = static_cast<int>(le16(bytes, body + 2));
            wav.rate = static_cast<int>(le32(bytes, body + 4));
            bits = static_cast<int>(le16(bytes, body + 14));
            if (tag == kFormatExtensible && available >= 26) tag = le16(bytes, body + 24);  // sub-format
            if (tag != kFormatPcm) return "not PCM (format tag " + std::to_string(tag) + ")";
            have_format = true;
        } else if (id == 0x61746164u /* "data" */) {
            if (!have_format) return "data before the format chunk";
            if (bits != 16) return "only 16-bit samples are supported, this file has " + std::to_string(bits);
            if (wav.channels < 1 || wav.channels > 2) return "only mono and stereo are supported";
            if (wav.rate <= 0) return "bad sample rate";
            const size_t frame_bytes = 2 * static_cast<size_t>(wav.channels);
            const size_t frames = available / frame_bytes;
            if (frames == 0) return "no samples";
            wav.samples.resize(frames * wav.channels);
            for (size_t i = 0; i < wav.samples.size(); ++i)
                wav.samples[i] = static_cast<int16_t>(le16(bytes, body + 2 * i));
            out = std::move(wav);
            return {};
        }
        at = body + size + (size & 1);  // chunks are word aligned
        if (at < body) break;           // size wrapped around
    }
    return have_format ? "no data chunk" : "no format chunk";
}

}  // namespace host
