// Writing 16-bit audio in the container the output's name asks for, into a
// SafeOutput's temporary file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "sound_format.h"

typedef struct sf_private_tag SNDFILE;

namespace audiomix_render {

class SafeOutput;

class SoundWriter {
public:
    SoundWriter() = default;
    ~SoundWriter();
    SoundWriter(const SoundWriter&) = delete;
    SoundWriter& operator=(const SoundWriter&) = delete;

    // Messages name shownPath, never the temporary file.
    bool open(SafeOutput& output, const std::string& shownPath, Container container, int32_t rate, int channels,
              std::string& error);
    bool write(const int16_t* interleaved, size_t frames, std::string& error);
    // Completes the container (its header); the SafeOutput then commits.
    bool finish(std::string& error);

private:
    SNDFILE* file_ = nullptr;
    std::string shown_;
};

}  // namespace audiomix_render
