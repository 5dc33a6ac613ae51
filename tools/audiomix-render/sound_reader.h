// Reading any file libsndfile reads, mono or stereo, as 16-bit samples: the
// engine is a 16-bit engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

typedef struct sf_private_tag SNDFILE;

namespace audiomix_render {

// Samples of nominal range [-1, 1) to 16 bits: x 32768, rounded to nearest,
// clipped; NaN becomes 0.
void float_to_pcm16(const float* in, int16_t* out, size_t samples);

class SoundReader {
public:
    SoundReader() = default;
    ~SoundReader();
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    // path "-" reads standard input. False with a message naming the path
    // as given and the reason.
    bool open(const std::string& path, std::string& error);

    int32_t rate() const { return rate_; }
    int channels() const { return channels_; }
    int64_t frames() const { return frames_; }  // as the header says
    // libsndfile's names of the format read, e.g. "FLAC (Free Lossless Audio
    // Codec), Signed 24 bit PCM".
    const std::string& format() const { return format_; }
    // Whether the samples are changed on the way in (not 16-bit PCM).
    bool converted() const { return converted_; }

    // Up to maxFrames interleaved frames; 0 at the end, -1 on a read error.
    int64_t read(int16_t* out, size_t maxFrames);

    // Whether the data read so far reached an end before the header's length
    // (a cut file): a warning, as sox's "Premature EOF".
    bool ended_early() const;

private:
    SNDFILE* file_ = nullptr;
    int spool_ = -1;  // standard input, copied to a seekable anonymous file
    int32_t rate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
    int64_t read_ = 0;
    bool sawEnd_ = false;
    bool headerLonger_ = false;
    std::string format_;
    std::vector<float> scratch_;  // converted inputs, sized by the first read
    bool converted_ = false;
};

}  // namespace audiomix_render
