#include "sound_reader.h"

#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "sound_format.h"

namespace audiomix_render {

namespace {

// Copies standard input to an anonymous file: libsndfile needs to seek in
// most containers, and a pipe cannot.
int spool_stdin(std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/audiomix-render-in.XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        error = "-: no room to hold standard input: " + std::string(std::strerror(errno));
        return -1;
    }
    unlink(pattern.c_str());
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = "-: could not read standard input: " + std::string(std::strerror(errno));
            close(fd);
            return -1;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = write(fd, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) {
                error = "-: no room to hold standard input: " + std::string(std::strerror(errno));
                close(fd);
                return -1;
            }
            done += w;
        }
    }
    lseek(fd, 0, SEEK_SET);
    return fd;
}

// libsndfile shortens a data chunk that claims more than the file holds and
// notes it in its log ("data : 16000 (should be 9956)"); that note is the
// only trace of a cut WAV, RF64 or AIFF file.
bool log_says_data_cut(SNDFILE* file) {
    char log[8192] = {};
    sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
    for (const char* line = log; line && *line;) {
        const char* end = std::strchr(line, '\n');
        const std::string text(line, end ? static_cast<size_t>(end - line) : std::strlen(line));
        if ((text.rfind("data", 0) == 0 || text.rfind("SSND", 0) == 0) && text.find("should be") != std::string::npos)
            return true;
        line = end ? end + 1 : nullptr;
    }
    return false;
}

}  // namespace

void float_to_pcm16(const float* in, int16_t* out, size_t samples) {
    for (size_t i = 0; i < samples; ++i) {
        const float scaled = in[i] * 32768.0f;  // NaN compares false both ways: silence
        out[i] = scaled >= 32767.0f    ? int16_t{32767}
                 : scaled <= -32768.0f ? int16_t{-32768}
                 : scaled == scaled    ? static_cast<int16_t>(std::lrint(scaled))
                                       : int16_t{0};
    }
}

SoundReader::~SoundReader() {
    if (file_) sf_close(file_);
    if (spool_ >= 0) close(spool_);
}

bool SoundReader::open(const std::string& path, std::string& error) {
    SF_INFO info{};
    if (path == "-") {
        if (isatty(STDIN_FILENO)) {
            error = "-: standard input is a terminal; pipe a file into it";
            return false;
        }
        spool_ = spool_stdin(error);
        if (spool_ < 0) return false;
        file_ = sf_open_fd(spool_, SFM_READ, &info, SF_FALSE);
    } else {
        file_ = sf_open(path.c_str(), SFM_READ, &info);
    }
    if (!file_) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    format_ = describe_sndfile_format(info.format);
    if (info.channels != 1 && info.channels != 2) {
        error = path + ": " + std::to_string(info.channels) + " channels (" + format_ +
                "); the effects take mono or stereo";
        return false;
    }
    if (info.samplerate <= 0) {
        error = path + ": no sample rate";
        return false;
    }
    rate_ = info.samplerate;
    channels_ = info.channels;
    frames_ = info.frames;
    converted_ = (info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16;
    headerLonger_ = log_says_data_cut(file_);
    return true;
}

int64_t SoundReader::read(int16_t* out, size_t maxFrames) {
    sf_count_t n = 0;
    if (!converted_) {
        n = sf_readf_short(file_, out, static_cast<sf_count_t>(maxFrames));
    } else {
        // libsndfile reads floating-point data as integers either truncated
        // (near silence) or scaled by the file's own peak: read floats and
        // round them here instead.
        const size_t samples = maxFrames * static_cast<size_t>(channels_);
        if (scratch_.size() < samples) scratch_.resize(samples);
        n = sf_readf_float(file_, scratch_.data(), static_cast<sf_count_t>(maxFrames));
        if (n > 0) float_to_pcm16(scratch_.data(), out, static_cast<size_t>(n) * static_cast<size_t>(channels_));
    }
    if (n == 0 && sf_error(file_) != SF_ERR_NO_ERROR) return -1;
    read_ += n;
    if (n < static_cast<sf_count_t>(maxFrames)) sawEnd_ = true;
    return n;
}

bool SoundReader::ended_early() const {
    // A render cut short by --seconds never reaches the missing part.
    return (read_ >= frames_ && headerLonger_) || (sawEnd_ && read_ < frames_);
}

}  // namespace audiomix_render
