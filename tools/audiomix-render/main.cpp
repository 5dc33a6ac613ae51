// audiomix-render: WAV files (or the built-in piece) through the audiomix
// effects, one engine per file, several files at once.
#include <audiomix.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "audio_source.h"
#include "default_signal.h"
#include "engine_session.h"
#include "files.h"
#include "format.h"
#include "levels.h"
#include "options.h"
#include "param_hints.h"
#include "preset_file_actions.h"
#include "presets.h"
#include "progress.h"
#include "setting_source.h"
#include "settings_file.h"
#include "summary.h"
#include "wav_io.h"

using namespace audiomix_render;

namespace {

using Clock = std::chrono::steady_clock;


int fail(int status, const std::string& message) {
    std::fprintf(stderr, "audiomix-render: %s\n", message.c_str());
    return status;
}

// What a render of one file leaves to report: its exit status and the text
// for stdout or stderr, printed by the main thread in input order.
struct Outcome {
    int status = 0;
    std::string out;
    std::string err;
    std::string settingFile;  // the resolved setting as --save-settings writes it
};

int failed(Outcome& outcome, int status, const std::string& message) {
    outcome.err += "audiomix-render: " + message + "\n";
    outcome.status = status;
    return status;
}

double seconds_since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// out/<stem>-audiomix.wav beside the working directory, or out/default.wav.
std::string default_output(const std::string& input) {
    if (input.empty()) return "out/default.wav";
    return "out/" + std::filesystem::path(input).stem().string() + "-audiomix.wav";
}

std::string list_params(const EngineSession& engine) {
    std::string text;
    for (const auto& [name, value] : engine.values()) {
        const ParamHint* hint = find_param_hint(name);
        char line[256];
        std::snprintf(line, sizeof line, "%-20s %8s   %-36s %s\n", name.c_str(), format_value(value).c_str(),
                      hint ? hint->accepted : "", hint ? hint->meaning : "");
        text += line;
    }
    return text;
}

struct Rendered {
    int64_t frames = 0;
    Clock::duration engineTime{};
};

// Source to writer through the engine, one host-sized buffer at a time,
// measuring both sides unless nobody will read the summary. False with error
// set on a read or write failure.
bool render(AudioSource& source, EngineSession& engine, WavWriter& writer, ProgressBar& progress,
            LevelMeter* inputLevels, LevelMeter* outputLevels, Rendered& done, std::string& error) {
    std::vector<int16_t> buffer(kBufferFrames * static_cast<size_t>(engine.channels()));
    for (;;) {
        const int64_t n = source.read(buffer.data(), kBufferFrames);
        if (n < 0) {
            error = "the input could not be read to the end";
            return false;
        }
        if (n == 0) return true;
        const size_t count = static_cast<size_t>(n);
        if (inputLevels) inputLevels->add(buffer.data(), count);
        const auto t0 = Clock::now();
        engine.process(buffer.data(), count);
        done.engineTime += Clock::now() - t0;
        if (outputLevels) outputLevels->add(buffer.data(), count);
        if (!writer.write(buffer.data(), count, error)) return false;
        done.frames += n;
        progress.update(done.frames);
    }
}

// Renders one input (empty: the built-in piece) to output with an engine of
// its own; the progress bar only when it is the only file.
Outcome render_file(const Options& o, const std::vector<SettingValue>& fileValues, const std::string& input,
                    const std::string& output, bool showProgress) {
    Outcome outcome;
    auto fail = [&](int status, const std::string& message) {
        failed(outcome, status, message);
        return outcome;
    };
    const auto start = Clock::now();

    // The format: the input file's, or the built-in piece's.
    WavReader reader;
    int32_t rate = kDefaultRate;
    int channels = kDefaultChannels;
    int64_t frames = 0;
    std::string error;
    if (!input.empty()) {
        if (!reader.open(input, error)) return fail(kExitFailed, error);
        rate = reader.rate();
        channels = reader.channels();
        frames = reader.frames();
        if (o.seconds) frames = std::min<int64_t>(frames, std::llround(*o.seconds * rate));
    } else {
        frames = std::llround(o.seconds.value_or(kDefaultSeconds) * rate);
    }

    EngineSession engine(rate, channels);
    if (!engine.ok()) return fail(kExitFailed, "the library refused the format " + std::to_string(rate) + " Hz");

    RenderReport report;
    report.defaults = engine.values();
    ResolvedSetting setting;
    if (const int status = resolve_setting(o, fileValues, rate, channels, setting, error)) return fail(status, error);
    if (!apply_setting(engine, setting.values, error)) return fail(kExitFailed, error);
    report.settingSource = setting.source;
    if (!o.saveSettings.empty()) outcome.settingFile = setting_file_text(setting, input, rate);
    if (only_saves_setting(o)) return outcome;
    if (o.listParams) {  // what this run would use
        outcome.out = list_params(engine);
        return outcome;
    }
    if (o.listPresets) {
        outcome.out = preset_list_text(engine.preset_names());
        return outcome;
    }
    report.effective = engine.values();

    if (o.output.empty()) {
        std::error_code ec;
        std::filesystem::create_directories("out", ec);
        if (ec) return fail(kExitFailed, "out: " + ec.message());
    }
    WavWriter writer;
    if (!writer.open(output, rate, channels, error)) return fail(kExitFailed, error);

    std::unique_ptr<AudioSource> source;
    if (input.empty()) source = std::make_unique<PieceSource>(frames);
    else source = std::make_unique<FileSource>(reader, frames);

    LevelMeter inputLevels(channels), outputLevels(channels);
    ProgressBar progress(showProgress && progress_wanted(o.quiet, static_cast<double>(frames) / rate), frames,
                         rate);
    Rendered done;
    if (!render(*source, engine, writer, progress, o.quiet ? nullptr : &inputLevels,
                o.quiet ? nullptr : &outputLevels, done, error))
        return fail(kExitFailed, error);
    progress.clear();
    if (!writer.commit(error)) return fail(kExitFailed, error);
    if (o.quiet) return outcome;

    const double seconds = static_cast<double>(done.frames) / rate;
    report.input = input.empty() ? "built-in piece (synthesised, " + format_duration(seconds) + ")" : input;
    report.output = output;
    report.rate = rate;
    report.channels = channels;
    report.frames = done.frames;
    report.inputLevels = &inputLevels;
    report.outputLevels = &outputLevels;
    report.engineSeconds = std::chrono::duration<double>(done.engineTime).count();
    report.wallSeconds = seconds_since(start);
    outcome.out = format_summary(report);
    return outcome;
}

// Every input on a pool of threads, each file with an engine of its own;
// results in input order. The exit status is the worst of them.
int run(const Options& o) {
    const std::vector<std::string> inputs = o.inputs.empty() ? std::vector<std::string>{""} : o.inputs;
    std::vector<Outcome> outcomes(inputs.size());
    std::vector<std::string> outputs;
    for (const std::string& input : inputs) {
        const std::string output = o.output.empty() ? default_output(input) : o.output;
        for (const std::string& taken : outputs)
            if (taken == output) return fail(kExitUsage, "two inputs would both write " + output);
        outputs.push_back(output);
        for (const std::string& file : {input, output})
            if (!o.saveSettings.empty() && !file.empty() && same_file(o.saveSettings, file))
                return fail(kExitUsage, "--save-settings " + o.saveSettings + " would replace " + file);
    }
    // Read once, before any render: a fault in it stops them all.
    std::vector<SettingValue> fileValues;
    std::string error;
    if (!o.settingsFile.empty())
        if (const int status = read_settings_file(o.settingsFile, fileValues, error)) return fail(status, error);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min<size_t>(inputs.size(), o.jobs > 0 ? static_cast<size_t>(o.jobs) : cores);
    const bool single = inputs.size() == 1;
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < inputs.size(); i = next++) {
            try {
                outcomes[i] = render_file(o, fileValues, inputs[i], outputs[i], single);
            } catch (const std::exception& e) {
                failed(outcomes[i], kExitFailed, inputs[i] + ": " + e.what());
            }
        }
    };
    std::vector<std::thread> pool;
    for (size_t w = 1; w < workers; ++w) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();

    int status = 0;
    for (const Outcome& r : outcomes) {
        std::fputs(r.out.c_str(), stdout);
        std::fputs(r.err.c_str(), stderr);
        status = std::max(status, r.status);
    }
    if (!o.saveSettings.empty()) {
        if (outcomes[0].settingFile.empty())
            return fail(status, "--save-settings: nothing written, the first input failed");
        if (!write_file_atomically(o.saveSettings, outcomes[0].settingFile, error))
            return fail(kExitFailed, error);
        if (!o.quiet) std::printf("saved     %s\n", o.saveSettings.c_str());
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const ParseResult parsed = parse_options(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok()) return fail(kExitUsage, parsed.error + " (--help shows the usage)");
    const Options& o = parsed.options;
    if (o.help) {
        std::fputs(usage_text().c_str(), stdout);
        return kExitDone;
    }
    if (o.version) {
        std::printf("%s\n", version_text().c_str());
        return kExitDone;
    }
    if (exchanges_presets(o)) {
        std::string out, err;
        const int status = run_preset_exchange(o, out, err);
        if (!o.quiet) std::fputs(out.c_str(), stdout);
        if (!err.empty()) fail(status, err);
        return status;
    }
    return run(o);
}
