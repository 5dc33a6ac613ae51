// 16-bit PCM WAV reading and writing through libsndfile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

typedef struct sf_private_tag SNDFILE;

namespace audiomix_render {

// Reads a 16-bit PCM WAV file with one or two channels, in frames.
class WavReader {
public:
    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    // False with a message naming the file and the reason when the file
    // cannot be read or is not 16-bit PCM WAV, mono or stereo.
    bool open(const std::string& path, std::string& error);

    int32_t rate() const { return rate_; }
    int channels() const { return channels_; }
    int64_t frames() const { return frames_; }

    // Up to maxFrames interleaved frames; 0 at the end. Returns -1 on error.
    int64_t read(int16_t* out, size_t maxFrames);

private:
    SNDFILE* file_ = nullptr;
    int32_t rate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
};

// Writes a 16-bit PCM WAV file. The data goes to "<path>.part" and replaces
// path only on commit, so a failed render never leaves a truncated file (and
// the input may be overwritten in place).
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();  // discards the temporary file unless committed
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    bool open(const std::string& path, int32_t rate, int channels, std::string& error);
    bool write(const int16_t* interleaved, size_t frames, std::string& error);
    bool commit(std::string& error);

private:
    void discard();

    SNDFILE* file_ = nullptr;
    std::string path_;
    std::string partPath_;
    int channels_ = 0;
};

}  // namespace audiomix_render
