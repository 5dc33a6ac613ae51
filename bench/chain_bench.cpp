// Frames per second of the whole chain and of each stage, for the production
// chain and for the scalar reference model, in the benchmark settings.
//
// Each iteration runs one second of the comparison signal through a private
// signal state in host-sized buffers (1024 frames, or one frame for the
// *-1frame cases), restoring the input before every buffer; the state runs
// on from iteration to iteration as it would in a host. items_per_second is
// frames per second; "x_realtime" is how many times faster than real time.
//
// "production" runs the kernel set the library chose for this processor
// (dsp/kernels.h); the whole chain also runs as production-avx2 and
// production-baseline where the processor has wider sets.
#include <benchmark/benchmark.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_setup.h"
#include "dsp/chain.h"
#include "dsp/kernels.h"
#include "tests/oracle/oracle_chain.h"

namespace audiomix::bench {
namespace {

using ProcessFn = void (*)(const ChainParams&, ChainSignal&, int16_t*, int32_t, uint8_t);

enum class Stage { Chain, Equaliser, Reverb, Compressor };

const char* stage_name(Stage s) {
    switch (s) {
        case Stage::Chain: return "chain";
        case Stage::Equaliser: return "eq";
        case Stage::Reverb: return "reverb";
        case Stage::Compressor: return "comp";
    }
    return "?";
}

// The setting's parameters with only the measured stage left on.
std::unique_ptr<Settings> settings_for_stage(const Setting& s, Stage stage) {
    auto settings = settings_for(s);
    if (stage != Stage::Chain) {
        ChainParams& p = settings->chain;
        p.eqOn = stage == Stage::Equaliser ? 1 : 0;
        p.reverbOn = stage == Stage::Reverb ? 1 : 0;
        p.compOn = stage == Stage::Compressor ? 1 : 0;
    }
    return settings;
}

void run(benchmark::State& bs, const Setting& s, Stage stage, ProcessFn process, int32_t bufferFrames,
         SimdLevel level) {
    simd_select(level);
    const auto settings = settings_for_stage(s, stage);
    const ChainParams& params = settings->chain;
    auto signal = fresh_signal();
    const int32_t channels = s.channels;
    const std::vector<int16_t> input = pink_tremolo(s.rate, channels, s.rate);
    std::vector<int16_t> buffer(static_cast<size_t>(bufferFrames) * channels);
    const int64_t frames = static_cast<int64_t>(input.size()) / channels;

    for (auto _ : bs) {
        for (int64_t f = 0; f < frames; f += bufferFrames) {
            const int32_t n = static_cast<int32_t>(frames - f < bufferFrames ? frames - f : bufferFrames);
            std::memcpy(buffer.data(), input.data() + f * channels, sizeof(int16_t) * n * channels);
            process(params, *signal, buffer.data(), n * channels * 2, 0);
        }
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    simd_select(SimdLevel::Avx512);
    bs.SetItemsProcessed(bs.iterations() * frames);
    bs.counters["x_realtime"] = benchmark::Counter(static_cast<double>(bs.iterations()), benchmark::Counter::kIsRate);
}

void register_all() {
    struct Impl {
        std::string name;
        ProcessFn fn;
        SimdLevel level;
        bool chainOnly;
    };
    std::vector<Impl> impls = {{"production", &chain_process, SimdLevel::Avx512, false},
                               {"oracle", &oracle::process, SimdLevel::Baseline, false}};
    const SimdLevel widest = simd_select(SimdLevel::Avx512);
    if (widest > SimdLevel::Avx2 && simd_supported(SimdLevel::Avx2))
        impls.push_back({"production-avx2", &chain_process, SimdLevel::Avx2, true});
    if (widest > SimdLevel::Baseline)
        impls.push_back({"production-baseline", &chain_process, SimdLevel::Baseline, true});
    const Stage stages[] = {Stage::Chain, Stage::Equaliser, Stage::Reverb, Stage::Compressor};

    struct Case {
        std::string setting;
        int32_t bufferFrames;
        std::string label;
    };
    const Case cases[] = {
        {"typical", 1024, "typical"},           {"worst", 1024, "worst"},
        {"typical-mono", 1024, "typical-mono"}, {"typical-11025", 1024, "typical-11025"},
        {"typical", 1, "typical-1frame"},       {"worst", 1, "worst-1frame"},
    };
    for (const Case& c : cases) {
        const Setting& s = setting(c.setting);
        for (const Impl& impl : impls) {
            for (Stage stage : stages) {
                // Single-frame buffers and the narrower sets: the whole chain.
                if ((c.bufferFrames == 1 || impl.chainOnly) && stage != Stage::Chain) continue;
                const std::string name = c.label + "/" + stage_name(stage) + "/" + impl.name;
                const int32_t frames = c.bufferFrames;
                const ProcessFn fn = impl.fn;
                const SimdLevel level = impl.level;
                benchmark::RegisterBenchmark(name.c_str(), [&s, stage, fn, frames, level](benchmark::State& bs) {
                    run(bs, s, stage, fn, frames, level);
                })->Unit(benchmark::kMillisecond);
            }
        }
    }
}

}  // namespace
}  // namespace audiomix::bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    audiomix::bench::register_all();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
