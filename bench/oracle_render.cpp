// audiomix-oracle-render: the scalar reference model as a render tool, for
// the side-by-side comparison. Same command line shape as audiomix-render
// (--set name=value ... in.wav out.wav): the settings are made by the rules
// the exports use, exactly as they would be for a host, then their chain
// parameters and a signal state of its own run through the model in
// 1024-frame buffers.
//
// audiomix-oracle-render --print-setting NAME prints the named benchmark
// setting as --set arguments, one per line, for scripts.
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_setup.h"
#include "model/parameters.h"
#include "model/settings.h"
#include "model/stream_rules.h"
#include "tests/oracle/oracle_chain.h"

namespace {

constexpr int kBufferFrames = 1024;

int usage() {
    std::fputs(
        "usage: audiomix-oracle-render [--set name=value ...] in.wav out.wav\n"
        "       audiomix-oracle-render --print-setting NAME\n",
        stderr);
    return 2;
}

int print_setting(const std::string& name) {
    const audiomix::bench::Setting& s = audiomix::bench::setting(name);
    for (const audiomix::bench::ParamValue& p : s.params) std::printf("--set\n%s=%.17g\n", p.name.c_str(), p.value);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::pair<std::string, double>> sets;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--print-setting" && i + 1 < argc) {
            try {
                return print_setting(argv[i + 1]);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "audiomix-oracle-render: %s\n", e.what());
                return 2;
            }
        }
        if (arg == "--set" && i + 1 < argc) {
            const std::string a = argv[++i];
            const auto eq = a.find('=');
            if (eq == std::string::npos) return usage();
            sets.emplace_back(a.substr(0, eq), std::strtod(a.c_str() + eq + 1, nullptr));
        } else if (arg == "--quiet" || arg == "-q") {
            // accepted for symmetry with audiomix-render; this tool prints nothing
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 2) return usage();

    SF_INFO info{};
    SNDFILE* in = sf_open(files[0].c_str(), SFM_READ, &info);
    if (in == nullptr) {
        std::fprintf(stderr, "audiomix-oracle-render: %s: %s\n", files[0].c_str(), sf_strerror(nullptr));
        return 1;
    }
    const int channels = info.channels;

    auto settings = std::make_unique<audiomix::Settings>();
    audiomix::settings_load_state(*settings);
    audiomix::stream_create(*settings, info.samplerate, channels);
    for (const auto& [name, value] : sets) {
        if (audiomix::param_set(*settings, name.c_str(), value) != audiomix::kParamOk) {
            std::fprintf(stderr, "audiomix-oracle-render: %s=%g refused\n", name.c_str(), value);
            sf_close(in);
            return 2;
        }
    }
    // Only the model runs: nothing of the library's own chain is involved.
    const audiomix::ChainParams& params = settings->chain;
    auto signal = audiomix::bench::fresh_signal();

    SF_INFO outInfo{};
    outInfo.samplerate = info.samplerate;
    outInfo.channels = channels;
    outInfo.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(files[1].c_str(), SFM_WRITE, &outInfo);
    if (out == nullptr) {
        std::fprintf(stderr, "audiomix-oracle-render: %s: %s\n", files[1].c_str(), sf_strerror(nullptr));
        sf_close(in);
        return 1;
    }

    std::vector<int16_t> buffer(static_cast<size_t>(kBufferFrames) * channels);
    for (;;) {
        const sf_count_t n = sf_readf_short(in, buffer.data(), kBufferFrames);
        if (n <= 0) break;
        audiomix::oracle::process(params, *signal, buffer.data(), static_cast<int32_t>(n * channels * 2), 0);
        if (sf_writef_short(out, buffer.data(), n) != n) {
            std::fprintf(stderr, "audiomix-oracle-render: %s: write failed\n", files[1].c_str());
            sf_close(out);
            sf_close(in);
            return 1;
        }
    }
    sf_close(out);
    sf_close(in);
    return 0;
}
