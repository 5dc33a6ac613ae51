// audiomix-render: audio files (or the built-in piece) through the audiomix
// effects, one engine per file, several files at once.
#include <audiomix.h>

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio_source.h"
#include "dsp/equaliser.h"
#include "default_signal.h"
#include "engine_session.h"
#include "files.h"
#include "format.h"
#include "levels.h"
#include "options.h"
#include "param_hints.h"
#include "plot.h"
#include "preset_file_actions.h"
#include "presets.h"
#include "progress.h"
#include "setting_source.h"
#include "settings_file.h"
#include "summary.h"
#include "safe_output.h"
#include "sound_format.h"
#include "sound_reader.h"
#include "sound_writer.h"
#include "temp_files.h"

using namespace audiomix_render;

namespace {

using Clock = std::chrono::steady_clock;

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "audiomix-render: %s\n", message.c_str());
    return status;
}

// What a render of one file leaves to report: its exit status, the full
// summary, its line in a batch and the messages for stderr, printed by the
// main thread in input order.
struct Outcome {
    int status = 0;
    std::string out;
    std::string line;
    std::string err;
    std::string settingFile;  // the resolved setting as --save-settings writes it
    std::string settingSource;
};

int failed(Outcome& outcome, int status, const std::string& message) {
    outcome.err += "audiomix-render: " + message + "\n";
    outcome.status = status;
    return status;
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string list_params(const EngineSession& engine, int32_t rate) {
    std::string text;
    // The band count is accepted at any rate, but only some rates have tables.
    if (!audiomix::is_equaliser_rate(rate))
        text += "# the equaliser does not run at " + std::to_string(rate) +
                " Hz (its tables are for 11025, 22050, 44100 and 48000 Hz)\n";
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
// What the render measures on both sides of the engine: the totals for the
// summary, the history over time for the plot (when one is drawn).
struct Measures {
    LevelMeter* total;
    LevelHistory* history;
    void add(const int16_t* interleaved, size_t frames) const {
        total->add(interleaved, frames);
        if (history) history->add(interleaved, frames);
    }
};

bool render(AudioSource& source, EngineSession& engine, SoundWriter& writer, ProgressBar& progress,
            const Measures& input, const Measures& output, Rendered& done, const std::string& shownInput,
            std::string& error) {
    std::vector<int16_t> buffer(kBufferFrames * static_cast<size_t>(engine.channels()));
    for (;;) {
        const int64_t n = source.read(buffer.data(), kBufferFrames);
        if (n < 0) {
            error = shownInput + ": could not be read to the end";
            return false;
        }
        if (n == 0) return true;
        const size_t count = static_cast<size_t>(n);
        input.add(buffer.data(), count);
        const auto t0 = Clock::now();
        engine.process(buffer.data(), count);
        done.engineTime += Clock::now() - t0;
        output.add(buffer.data(), count);
        if (!writer.write(buffer.data(), count, error)) return false;
        done.frames += n;
        progress.add_frames(n);
    }
}

// One input and where its results go, settled before anything renders.
struct Job {
    std::string input;  // empty: the built-in piece
    OutputTarget output;
    Container container = Container::Wav;
    std::optional<OutputTarget> plot;
};

// The picture of a finished render, written as safely as the audio.
bool write_plot_file(const OutputTarget& target, const PlotData& data, std::string& error) {
    std::string bytes;
    SafeOutput file;
    if (!plot_bytes(target.typed, data, bytes, error) || !file.open(target, error)) return false;
    if (write(file.fd(), bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        error = target.typed + ": " + std::strerror(errno);
        return false;
    }
    return file.commit(error);
}

// The largest WAV or AIFF data written as such; tests lower it through the
// environment rather than writing 4 GiB.
uint64_t classic_data_limit() {
    const char* text = std::getenv("AUDIOMIX_RENDER_WAV_LIMIT");
    if (text && *text) return std::strtoull(text, nullptr, 10);
    return kClassicDataLimit;
}

// Renders one input with an engine of its own.
Outcome render_file(const Options& o, const std::vector<SettingValue>& fileValues, const Job& job,
                    ProgressBar& progress) {
    Outcome outcome;
    auto fail = [&](int status, const std::string& message) {
        failed(outcome, status, message);
        return outcome;
    };
    const auto start = Clock::now();
    const std::string& input = job.input;
    const std::string shownInput = input.empty() ? "the built-in piece" : input;

    // The format: the input file's, or the built-in piece's.
    SoundReader reader;
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
    if (!engine.ok())
        return fail(kExitFailed, shownInput + ": the library refused the format " + std::to_string(rate) + " Hz");

    RenderReport report;
    report.defaults = engine.values();
    ResolvedSetting setting;
    if (const int status = resolve_setting(o, fileValues, rate, channels, setting, error)) return fail(status, error);
    if (!apply_setting(engine, setting.values, error)) return fail(kExitFailed, error);
    report.settingSource = setting.source;
    outcome.settingSource = setting.source;
    if (!o.saveSettings.empty()) outcome.settingFile = setting_file_text(setting, input, rate);
    if (only_saves_setting(o)) return outcome;
    if (o.listParams) {  // what this run would use
        outcome.out = list_params(engine, rate);
        return outcome;
    }
    if (o.listPresets) {
        outcome.out = preset_list_text(engine.preset_names());
        return outcome;
    }
    report.effective = engine.values();

    // Refused before a byte is written when the container cannot hold it.
    WritePlan plan;
    const uint64_t dataBytes = static_cast<uint64_t>(frames) * static_cast<uint64_t>(channels) * 2u;
    if (!plan_write(job.container, dataBytes, classic_data_limit(), plan, error))
        return fail(kExitFailed, job.output.typed + ": " + error);

    SafeOutput output;
    SoundWriter writer;
    if (!output.open(job.output, error) ||
        !writer.open(output, job.output.typed, plan.container, rate, channels, error))
        return fail(kExitFailed, error);

    std::unique_ptr<AudioSource> source;
    if (input.empty())
        source = std::make_unique<PieceSource>(frames);
    else
        source = std::make_unique<FileSource>(reader, frames);

    LevelMeter inputLevels(channels), outputLevels(channels);
    std::optional<LevelHistory> inputHistory, outputHistory;
    if (job.plot) {
        inputHistory.emplace(channels, rate);
        outputHistory.emplace(channels, rate);
    }
    Rendered done;
    if (!render(*source, engine, writer, progress, {&inputLevels, inputHistory ? &*inputHistory : nullptr},
                {&outputLevels, outputHistory ? &*outputHistory : nullptr}, done, shownInput, error) ||
        !writer.finish(error) || !output.commit(error))
        return fail(kExitFailed, error);
    progress.file_done();
    if (!input.empty() && reader.ended_early()) {
        outcome.status = kExitWarned;
        outcome.err += "audiomix-render: warning: " + input +
                       ": premature end of input: the file is shorter than its header says; the " +
                       std::to_string(done.frames) + " frames it holds were rendered\n";
    }

    if (job.plot) {
        PlotData picture;
        picture.input = input.empty() ? "built-in piece" : input == "-" ? "standard input" : input;
        picture.rate = rate;
        picture.channels = channels;
        picture.settingSource = report.settingSource;
        picture.inputLevels = &*inputHistory;
        picture.outputLevels = &*outputHistory;
        if (!measure_response(report.effective, rate, channels, picture.response, error) ||
            !write_plot_file(*job.plot, picture, error))
            return fail(kExitFailed, error);
        report.plot = job.plot->typed;
    }

    const double seconds = static_cast<double>(done.frames) / rate;
    report.input = input.empty()  ? "built-in piece (synthesised, " + format_duration(seconds) + ")"
                   : input == "-" ? "standard input"
                                  : input;
    if (!input.empty() && reader.converted()) report.inputFormat = reader.format();
    report.output = job.output.toStdout ? "standard output" : job.output.typed;
    report.container = container_name(plan.container);
    report.promoted = plan.promoted;
    report.rate = rate;
    report.channels = channels;
    report.frames = done.frames;
    report.inputLevels = &inputLevels;
    report.outputLevels = &outputLevels;
    report.engineSeconds = std::chrono::duration<double>(done.engineTime).count();
    report.wallSeconds = seconds_since(start);
    if (!o.quiet) {
        outcome.out = format_summary(report);
        outcome.line = format_summary_line(report);
    }
    return outcome;
}

// The output an input gets unless -o names it: <out-dir>/<stem>-audiomix
// with the input's extension when it is one the tool writes, .wav otherwise.
std::string default_output(const Options& o, const std::string& input) {
    if (input == "-") return "-";
    if (input.empty()) return o.outDir + "/default.wav";
    const std::filesystem::path path(input);
    std::string extension = path.extension().string();
    if (!container_for_extension(extension)) extension = ".wav";
    return o.outDir + "/" + path.stem().string() + "-audiomix" + extension;
}

// Every output named, its container chosen and its target checked, before
// anything renders. Returns 0 or the exit status after reporting.
int plan_jobs(const Options& o, const std::vector<std::string>& inputs, std::vector<Job>& jobs) {
    std::vector<FileIdentity> identities;
    for (const std::string& input : inputs)
        if (!input.empty() && input != "-")
            if (auto id = file_identity(input)) identities.push_back(*id);
    for (const std::string& input : inputs) {
        Job job;
        job.input = input;
        const std::string typed = o.output.empty() ? default_output(o, input) : o.output;
        const std::string refused = resolve_output(typed, identities, o.inPlace, o.output.empty(), job.output);
        if (!refused.empty()) return fail(kExitFailed, refused);
        if (!o.type.empty()) {
            job.container = *container_for_extension("." + o.type);
        } else if (typed != "-") {
            const std::string extension = std::filesystem::path(typed).extension().string();
            const auto container = container_for_extension(extension);
            if (!container)
                return fail(kExitUsage, typed + ": the container follows the extension, one of " +
                                            std::string(known_extensions()) + " (or give --type)");
            job.container = *container;
        }
        for (const Job& other : jobs)
            if (job.output.toStdout ? other.output.toStdout
                                    : !job.output.path.empty() && same_file(other.output.path, job.output.path))
                return fail(kExitUsage, other.input + " and " + input + " would both write " + typed);
        if (!o.plot.empty()) {
            const bool beside = o.plot == "svg" || o.plot == "png";
            if (beside && job.output.toStdout)
                return fail(kExitUsage, "--plot " + o.plot + " goes beside the output; with -o - name its file");
            const std::string plotTyped =
                beside ? std::filesystem::path(typed).replace_extension(o.plot).string() : o.plot;
            OutputTarget plot;
            const std::string refusedPlot = resolve_output(plotTyped, identities, false, true, plot);
            if (!refusedPlot.empty()) return fail(kExitFailed, refusedPlot);
            job.plot = plot;
        }
        jobs.push_back(job);
    }
    return 0;
}

// Every input on a pool of threads, each file with an engine of its own;
// results in input order. The exit status is the worst of them.
int run(const Options& o) {
    const std::vector<std::string> inputs = o.inputs.empty() ? std::vector<std::string>{""} : o.inputs;
    // Read once, before any render: a fault in it stops them all.
    std::vector<SettingValue> fileValues;
    std::string error;
    if (!o.settingsFile.empty())
        if (const int status = read_settings_file(o.settingsFile, fileValues, error)) return fail(status, error);
    std::vector<Job> jobs;
    if (!o.listParams && !o.listPresets && !only_saves_setting(o)) {
        if (const int status = plan_jobs(o, inputs, jobs)) return status;
    } else {
        for (const std::string& input : inputs) jobs.push_back(Job{input, {}, Container::Wav, std::nullopt});
    }
    bool toStdout = false;
    int64_t totalFrames = 0;
    double totalSeconds = 0.0;
    for (const Job& job : jobs) toStdout = toStdout || job.output.toStdout;
    // Estimated from the headers for the bar (the renders read them again),
    // only when a bar can be shown at all.
    const bool quietRun = o.quiet || o.listParams || o.listPresets;
    for (const Job& job : jobs) {
        if (!progress_possible(quietRun)) break;
        if (job.input.empty()) {
            const int64_t n = std::llround(o.seconds.value_or(kDefaultSeconds) * kDefaultRate);
            totalFrames += n;
            totalSeconds += static_cast<double>(n) / kDefaultRate;
        } else if (job.input != "-") {
            SoundReader probe;
            std::string ignored;
            if (probe.open(job.input, ignored)) {
                const int64_t n = o.seconds ? std::min<int64_t>(probe.frames(), std::llround(*o.seconds * probe.rate()))
                                            : probe.frames();
                totalFrames += n;
                totalSeconds += static_cast<double>(n) / probe.rate();
            }
        }
    }
    ProgressBar progress(progress_wanted(quietRun, totalSeconds), totalFrames, jobs.size());

    std::vector<Outcome> outcomes(jobs.size());
    if (!o.saveSettings.empty())
        for (const Job& job : jobs)
            for (const std::string& file : {job.input, job.output.path})
                if (!file.empty() && same_file(o.saveSettings, file))
                    return fail(kExitUsage, "--save-settings " + o.saveSettings + " would replace " + file);
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t workers = std::min<size_t>(jobs.size(), o.jobs > 0 ? static_cast<size_t>(o.jobs) : cores);
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < jobs.size(); i = next++) {
            try {
                outcomes[i] = render_file(o, fileValues, jobs[i], progress);
            } catch (const std::exception& e) {
                failed(outcomes[i], kExitFailed,
                       (jobs[i].input.empty() ? "the built-in piece" : jobs[i].input) + ": " + e.what());
            }
        }
    };
    // Interrupts go to this thread alone: a render thread never takes one
    // between creating a temporary file and entering it for removal.
    remove_temporaries_on_signals();
    sigset_t interrupts, previous;
    sigemptyset(&interrupts);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&interrupts, sig);
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
    std::vector<std::thread> pool;
    for (size_t w = 1; w < workers; ++w) pool.emplace_back(work);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    work();
    for (std::thread& t : pool) t.join();
    progress.clear();

    // The summary goes where the audio does not.
    FILE* report = toStdout ? stderr : stdout;
    int status = 0;
    const bool batch = jobs.size() > 1 && !o.listParams && !o.listPresets;
    if (batch)  // the same for every file: said once
        for (const Outcome& r : outcomes)
            if (!r.settingSource.empty()) {
                std::fprintf(report, "setting   %s\n", r.settingSource.c_str());
                break;
            }
    for (const Outcome& r : outcomes) {
        std::fputs((batch ? r.line : r.out).c_str(), report);
        std::fputs(r.err.c_str(), stderr);
        status = worse_status(status, r.status);
    }
    if (!o.saveSettings.empty()) {
        if (outcomes[0].settingFile.empty())
            return fail(status, "--save-settings: nothing written, the first input failed");
        if (!write_file_atomically(o.saveSettings, outcomes[0].settingFile, error)) return fail(kExitFailed, error);
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
