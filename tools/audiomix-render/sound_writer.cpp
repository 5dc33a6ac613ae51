#include "sound_writer.h"

#include <sndfile.h>

#include "safe_output.h"

namespace audiomix_render {

SoundWriter::~SoundWriter() {
    if (file_) sf_close(file_);
}

bool SoundWriter::open(SafeOutput& output, const std::string& shownPath, Container container, int32_t rate,
                       int channels, std::string& error) {
    shown_ = shownPath;
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sndfile_format(container);
    if (!sf_format_check(&info)) {
        error = shownPath + ": " + container_name(container) + " cannot hold " + std::to_string(rate) + " Hz, " +
                std::to_string(channels) + " channels";
        return false;
    }
    file_ = sf_open_fd(output.fd(), SFM_WRITE, &info, SF_FALSE);
    if (!file_) {
        error = shownPath + ": " + sf_strerror(nullptr);
        return false;
    }
    return true;
}

bool SoundWriter::write(const int16_t* interleaved, size_t frames, std::string& error) {
    const sf_count_t n = sf_writef_short(file_, interleaved, static_cast<sf_count_t>(frames));
    if (n != static_cast<sf_count_t>(frames)) {
        error = shown_ + ": " + sf_strerror(file_);
        return false;
    }
    return true;
}

bool SoundWriter::finish(std::string& error) {
    SNDFILE* file = file_;
    file_ = nullptr;
    if (sf_close(file) != 0) {
        error = shown_ + ": could not finish writing";
        return false;
    }
    return true;
}

}  // namespace audiomix_render
