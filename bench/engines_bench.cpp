// Streams side by side: each benchmark thread drives an engine of its own
// through the public interface (audiomix_engine_process, 1024-frame buffers,
// one second of the comparison signal per iteration, typical setting), so
// "engines/threads:2" is two streams on two threads. items_per_second sums
// the threads: the total frames per second; compare it with threads:1 for
// the scaling. "default_engine" is audiomix_change on the default engine.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "audiomix.h"
#include "bench/bench_setup.h"

namespace audiomix::bench {
namespace {

constexpr int32_t kBufferFrames = 1024;

void run_engine(benchmark::State& bs, bool useDefault) {
    const Setting& s = setting("typical");
    audiomix_engine* engine = nullptr;
    if (useDefault) {
        audiomix_begin(0);
        audiomix_init(s.rate, s.channels, 0);
        for (const ParamValue& p : s.params) audiomix_param_set(p.name.c_str(), p.value);
    } else {
        engine = audiomix_engine_create(s.rate, s.channels);
        for (const ParamValue& p : s.params) audiomix_engine_param_set(engine, p.name.c_str(), p.value);
    }
    const std::vector<int16_t> input = pink_tremolo(s.rate, s.channels, s.rate);
    std::vector<int16_t> buffer(static_cast<size_t>(kBufferFrames) * s.channels);
    const int64_t frames = static_cast<int64_t>(input.size()) / s.channels;
    for (auto _ : bs) {
        for (int64_t f = 0; f < frames; f += kBufferFrames) {
            const int32_t n = static_cast<int32_t>(frames - f < kBufferFrames ? frames - f : kBufferFrames);
            std::memcpy(buffer.data(), input.data() + f * s.channels, sizeof(int16_t) * n * s.channels);
            if (engine != nullptr)
                audiomix_engine_process(engine, buffer.data(), n);
            else
                audiomix_change(buffer.data(), n * s.channels * 2, 0);
        }
        benchmark::DoNotOptimize(buffer.data());
    }
    bs.SetItemsProcessed(bs.iterations() * frames);
    bs.counters["x_realtime"] = benchmark::Counter(static_cast<double>(bs.iterations()), benchmark::Counter::kIsRate);
    audiomix_engine_destroy(engine);
    if (useDefault) audiomix_close();
}

BENCHMARK_CAPTURE(run_engine, default_engine, true)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(run_engine, engines, false)->Unit(benchmark::kMillisecond)->UseRealTime()->Threads(1)->Threads(2);

}  // namespace
}  // namespace audiomix::bench

BENCHMARK_MAIN();
