// Running the built audiomix-render in a scratch folder of its own, and
// reading and writing the audio files it works on.
#pragma once

#include <gtest/gtest.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace render_test {

namespace fs = std::filesystem;

struct Wav {
    SF_INFO info{};
    std::vector<int16_t> samples;
};

inline bool read_wav(const fs::path& path, Wav& wav) {
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (!f) return false;
    wav.samples.resize(static_cast<size_t>(wav.info.frames * wav.info.channels));
    const sf_count_t n = sf_readf_short(f, wav.samples.data(), wav.info.frames);
    sf_close(f);
    return n == wav.info.frames;
}

inline void write_wav(const fs::path& path, int rate, int channels, const std::vector<int16_t>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_writef_short(f, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(f);
}

// Loud, busy and reaching both ends of the range, so that any change shows.
inline std::vector<int16_t> test_signal(size_t samples) {
    std::vector<int16_t> x(samples);
    uint32_t state = 12345;
    for (size_t i = 0; i < samples; ++i) {
        state = state * 1664525u + 1013904223u;
        x[i] = static_cast<int16_t>(static_cast<int32_t>(state >> 16) - 32768);
    }
    x[1] = -32768;
    x[2] = 32767;
    return x;
}

struct ToolRun {
    int status = -1;
    std::string out, err;
};

inline std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RenderToolRun : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(AUDIOMIX_RENDER_SCRATCH) / (std::string(info->test_suite_name()) + "." + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }

    // Runs the tool in the scratch directory, with env (VAR=value ...) added to its environment.
    ToolRun tool(const std::string& args, const std::string& env = "") {
        return shell(env + " \"$T\" " + args + " >stdout.txt 2>stderr.txt");
    }

    // Runs a shell command in the scratch directory with the tool in $T; its
    // stdout and stderr are read from stdout.txt and stderr.txt.
    ToolRun shell(const std::string& command) {
        fs::remove(dir_ / "stdout.txt");
        fs::remove(dir_ / "stderr.txt");
        const std::string cmd = "cd '" + dir_.string() + "' && T='" AUDIOMIX_RENDER_TOOL "' && " + command;
        ToolRun r;
        const int w = std::system(cmd.c_str());
        r.status = WIFEXITED(w) ? WEXITSTATUS(w) : -1;
        r.out = slurp(dir_ / "stdout.txt");
        r.err = slurp(dir_ / "stderr.txt");
        return r;
    }

    // A file of the scratch folder, whole.
    std::string read(const std::string& name) const { return slurp(dir_ / name); }
    void put(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    // The samples of an audio file of the scratch folder; none when unreadable.
    std::vector<int16_t> samples(const std::string& name) const {
        Wav w;
        return read_wav(dir_ / name, w) ? w.samples : std::vector<int16_t>{};
    }
    // Temporaries left anywhere below dir.
    std::vector<std::string> leftovers(const fs::path& dir = {}) const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(dir.empty() ? dir_ : dir))
            if (e.path().filename().string().find(".part") != std::string::npos) names.push_back(e.path().string());
        return names;
    }

    fs::path dir_;
};

}  // namespace render_test
