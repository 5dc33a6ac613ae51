// Where the frames come from: an input file or the built-in piece.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audiomix_render {

class SoundReader;

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Up to frames interleaved frames; 0 at the end, -1 on a read error.
    virtual int64_t read(int16_t* out, size_t frames) = 0;
};

// The first limit frames of an opened file.
class FileSource : public AudioSource {
public:
    FileSource(SoundReader& reader, int64_t limit) : reader_(reader), left_(limit) {}
    int64_t read(int16_t* out, size_t frames) override;

private:
    SoundReader& reader_;
    int64_t left_;
};

// The built-in piece, total frames long, synthesised as it is read.
class PieceSource : public AudioSource {
public:
    explicit PieceSource(int64_t total) : total_(total) {}
    int64_t read(int16_t* out, size_t frames) override;

private:
    int64_t total_;
    int64_t pos_ = 0;
};

}  // namespace audiomix_render
