// audiomix-bench-signal: writes the comparison input (pink noise under a slow
// tremolo, bench_setup.h) as a 16-bit WAV file.
//   audiomix-bench-signal out.wav [seconds [rate [channels]]]
#include <sndfile.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/bench_setup.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 5) {
        std::fputs("usage: audiomix-bench-signal out.wav [seconds [rate [channels]]]\n", stderr);
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 120.0;
    const int rate = argc > 3 ? std::atoi(argv[3]) : 44100;
    const int channels = argc > 4 ? std::atoi(argv[4]) : 2;
    if (seconds <= 0 || rate <= 0 || channels < 1 || channels > 2) {
        std::fputs("audiomix-bench-signal: bad arguments\n", stderr);
        return 2;
    }
    const auto frames = static_cast<int64_t>(seconds * rate);
    const std::vector<int16_t> signal = audiomix::bench::pink_tremolo(rate, channels, frames);

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(argv[1], SFM_WRITE, &info);
    if (out == nullptr) {
        std::fprintf(stderr, "audiomix-bench-signal: %s: %s\n", argv[1], sf_strerror(nullptr));
        return 1;
    }
    const bool ok = sf_writef_short(out, signal.data(), frames) == frames;
    sf_close(out);
    return ok ? 0 : 1;
}
