#include "wav_io.h"

#include <sndfile.h>

#include <cstdio>
#include <filesystem>

namespace audiomix_render {

namespace {

// libsndfile's own name for a format or subtype code, for error messages.
std::string format_name(int code, int command) {
    SF_FORMAT_INFO info{};
    info.format = code;
    if (sf_command(nullptr, command, &info, sizeof info) == 0 && info.name) return info.name;
    char text[32];
    std::snprintf(text, sizeof text, "format 0x%x", code);
    return text;
}

}  // namespace

WavReader::~WavReader() {
    if (file_) sf_close(file_);
}

bool WavReader::open(const std::string& path, std::string& error) {
    SF_INFO info{};
    file_ = sf_open(path.c_str(), SFM_READ, &info);
    if (!file_) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    const char* want = "16-bit PCM WAV, mono or stereo";
    if (major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX) {
        error = path + ": " + format_name(major, SFC_GET_FORMAT_MAJOR) + " file; expected " + want;
        return false;
    }
    if (sub != SF_FORMAT_PCM_16) {
        error = path + ": " + format_name(sub, SFC_GET_FORMAT_SUBTYPE) + " samples; expected " + want;
        return false;
    }
    if (info.samplerate <= 0) {
        error = path + ": no sample rate";
        return false;
    }
    if (info.channels != 1 && info.channels != 2) {
        error = path + ": " + std::to_string(info.channels) + " channels; expected " + want;
        return false;
    }
    rate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames;
    return true;
}

int64_t WavReader::read(int16_t* out, size_t maxFrames) {
    const sf_count_t n = sf_readf_short(file_, out, static_cast<sf_count_t>(maxFrames));
    if (n == 0 && sf_error(file_) != SF_ERR_NO_ERROR) return -1;
    return n;
}

WavWriter::~WavWriter() { discard(); }

void WavWriter::discard() {
    if (file_) {
        sf_close(file_);
        file_ = nullptr;
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
    }
}

bool WavWriter::open(const std::string& path, int32_t rate, int channels, std::string& error) {
    path_ = path;
    partPath_ = path + ".part";
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    file_ = sf_open(partPath_.c_str(), SFM_WRITE, &info);
    if (!file_) {
        error = partPath_ + ": " + sf_strerror(nullptr);
        return false;
    }
    channels_ = channels;
    return true;
}

bool WavWriter::write(const int16_t* interleaved, size_t frames, std::string& error) {
    const sf_count_t n = sf_writef_short(file_, interleaved, static_cast<sf_count_t>(frames));
    if (n != static_cast<sf_count_t>(frames)) {
        error = partPath_ + ": " + sf_strerror(file_);
        return false;
    }
    return true;
}

bool WavWriter::commit(std::string& error) {
    if (sf_close(file_) != 0) {
        file_ = nullptr;
        error = partPath_ + ": could not finish writing";
        std::error_code ignored;
        std::filesystem::remove(partPath_, ignored);
        return false;
    }
    file_ = nullptr;
    std::error_code ec;
    std::filesystem::rename(partPath_, path_, ec);
    if (ec) {
        error = path_ + ": " + ec.message();
        std::filesystem::remove(partPath_, ec);
        return false;
    }
    return true;
}

}  // namespace audiomix_render
