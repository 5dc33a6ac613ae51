// audiomix-render end to end: what it reads, the containers it writes, and
// how it writes them (never half a file, never the wrong one).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "render_tool_fixture.h"

using namespace render_test;

extern char** environ;

namespace {

// Every effect off: the tool's own conversion is all that acts.
const std::string kFlat = "--flat ";

// Writes integer samples (left-justified in 32 bits, as libsndfile takes
// them) in any format.
void write_ints(const fs::path& path, int format, int rate, int channels, const std::vector<int32_t>& samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_write_int(f, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(f);
}

std::vector<std::string> leftovers(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.path().filename().string().find(".part") != std::string::npos) names.push_back(e.path().string());
    return names;
}

}  // namespace

TEST_F(RenderToolRun, AnyInputFormatIsConvertedToSixteenBitsOnTheWayIn) {
    // Expected values reasoned from the formats: 24-bit v reads as v / 2^23,
    // 8-bit unsigned u as (u - 128) / 128, floats as they are; then x 32768,
    // rounded to nearest, clipped.
    struct Case {
        const char* name;
        int format;
        std::vector<int32_t> in;  // left-justified
        std::vector<float> floats;
        std::vector<int16_t> want;
        const char* described;
    };
    const Case cases[] = {
        {"deep.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, {0x1234C0 << 8, -0x1234C0 * 256, 0x7FFFFF << 8}, {},
         {4661, -4661, 32767}, "Signed 24 bit PCM"},
        {"deep.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, {0x000180 << 8, -0x800000 * 256}, {}, {2, -32768},
         "FLAC"},
        {"byte.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, {(200 - 128) << 24, (3 - 128) * (1 << 24)}, {},
         {72 * 256, -125 * 256}, "Unsigned 8 bit PCM"},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, {}, {0.5f, -0.25f, 1.5f, -2.0f, 0.000015f},
         {16384, -8192, 32767, -32768, 0}, "32 bit float"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.floats.empty()) {
            write_ints(dir_ / c.name, c.format, 8000, 1, c.in);
        } else {
            SF_INFO info{8000 * 0, 8000, 1, c.format, 0, 0};
            info.samplerate = 8000;
            SNDFILE* f = sf_open((dir_ / c.name).c_str(), SFM_WRITE, &info);
            ASSERT_NE(f, nullptr);
            sf_command(f, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
            sf_write_float(f, c.floats.data(), static_cast<sf_count_t>(c.floats.size()));
            sf_close(f);
        }
        const ToolRun r = tool(kFlat + c.name + " -o out.wav");
        ASSERT_EQ(r.status, 0) << r.err;
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / "out.wav", w));
        EXPECT_EQ(w.samples, c.want);
        EXPECT_NE(r.out.find("converted to 16-bit"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(c.described), std::string::npos) << r.out;
    }
    // A 16-bit input is not converted, and the summary does not say so.
    write_wav(dir_ / "plain.wav", 8000, 2, test_signal(400));
    const ToolRun plain = tool(kFlat + "plain.wav -o out.wav");
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.out.find("converted"), std::string::npos) << plain.out;
}

TEST_F(RenderToolRun, UnreadableInputsFailNamingTheRealFormat) {
    write_ints(dir_ / "three.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 44100, 3, std::vector<int32_t>(300));
    ToolRun r = tool("three.flac");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("three.flac: 3 channels"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("FLAC"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Signed 24 bit PCM"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("0x"), std::string::npos) << r.err;

    std::ofstream(dir_ / "text.wav") << "not a sound file";
    EXPECT_EQ(tool("text.wav").status, 2);
    EXPECT_EQ(tool("missing.wav").status, 2);
    EXPECT_FALSE(fs::exists(dir_ / "out"));
}

TEST_F(RenderToolRun, TheExtensionChoosesTheContainer) {
    struct Case {
        const char* name;
        int major;
        bool lossless;
    };
    const Case cases[] = {{"a.wav", SF_FORMAT_WAV, true},   {"a.flac", SF_FORMAT_FLAC, true},
                          {"a.AIFF", SF_FORMAT_AIFF, true}, {"a.w64", SF_FORMAT_W64, true},
                          {"a.rf64", SF_FORMAT_RF64, true}, {"a.ogg", SF_FORMAT_OGG, false}};
    Wav reference;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r = tool(std::string("--quiet --seconds 0.25 -o ") + c.name);
        ASSERT_EQ(r.status, 0) << r.err;
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / c.name, w));
        EXPECT_EQ(w.info.format & SF_FORMAT_TYPEMASK, c.major);
        EXPECT_EQ(w.info.samplerate, 44100);
        if (!c.lossless) continue;
        EXPECT_EQ(w.info.format & SF_FORMAT_SUBMASK, SF_FORMAT_PCM_16);
        if (reference.samples.empty()) reference = w;
        EXPECT_EQ(w.samples, reference.samples);
    }
    // --type overrides the name; an extension the tool does not write is a
    // usage error that names it.
    ASSERT_EQ(tool("--quiet --seconds 0.1 --type flac -o take.dat").status, 0);
    Wav typed;
    ASSERT_TRUE(read_wav(dir_ / "take.dat", typed));
    EXPECT_EQ(typed.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
    const ToolRun mp3 = tool("--seconds 0.1 -o song.mp3");
    EXPECT_EQ(mp3.status, 1);
    EXPECT_NE(mp3.err.find("song.mp3"), std::string::npos) << mp3.err;
    EXPECT_FALSE(fs::exists(dir_ / "song.mp3"));
}

TEST_F(RenderToolRun, DataPastTheThirtyTwoBitLimitIsRf64OrRefused) {
    // The limit lowered to 1000 bytes stands in for 4 GiB.
    ToolRun r = shell("AUDIOMIX_RENDER_WAV_LIMIT=1000 \"$T\" --seconds 0.5 -o long.wav >stdout.txt 2>stderr.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "long.wav", w));
    EXPECT_EQ(w.info.format, SF_FORMAT_RF64 | SF_FORMAT_PCM_16);
    EXPECT_EQ(w.info.frames, 22050);
    EXPECT_NE(r.out.find("RF64"), std::string::npos) << r.out;

    r = shell("AUDIOMIX_RENDER_WAV_LIMIT=1000 \"$T\" --seconds 0.5 -o long.aiff >stdout.txt 2>stderr.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("long.aiff"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("32 bits"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_ / "long.aiff"));

    // Below the limit a WAV stays a WAV; FLAC has no such limit.
    r = shell("AUDIOMIX_RENDER_WAV_LIMIT=1000000 \"$T\" --seconds 0.5 -o short.wav -q >stdout.txt 2>stderr.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(read_wav(dir_ / "short.wav", w));
    EXPECT_EQ(w.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_TRUE(leftovers(dir_).empty());
}

TEST_F(RenderToolRun, TargetsThatMustNotBeReplacedAreRefused) {
    write_wav(dir_ / "in.wav", 8000, 1, test_signal(800));
    const std::string original = slurp(dir_ / "in.wav");
    fs::copy_file(dir_ / "in.wav", dir_ / "locked.wav");
    chmod((dir_ / "locked.wav").c_str(), 0444);
    fs::create_directories(dir_ / "folder.wav");
    struct Case {
        const char* output;
        const char* reason;
    };
    const Case cases[] = {
        {"locked.wav", "read-only"},
        {"folder.wav", "folder"},
        {"/dev/null", "not a regular file"},
        {"in.wav", "is an input"},
        {"./in.wav", "is an input"},
        {"missing/x.wav", "no folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.output);
        const ToolRun r = tool(kFlat + "in.wav -o " + c.output);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(std::string(c.output) + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(".part"), std::string::npos) << r.err;  // never the temporary's name
    }
    struct stat st {};
    ASSERT_EQ(stat((dir_ / "locked.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(slurp(dir_ / "locked.wav"), original);
    EXPECT_EQ(slurp(dir_ / "in.wav"), original);
    ASSERT_EQ(stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_TRUE(leftovers(dir_).empty());
}

TEST_F(RenderToolRun, LinksAreFollowedAndPermissionsKept) {
    write_wav(dir_ / "in.wav", 8000, 1, test_signal(800));
    fs::create_directories(dir_ / "store");
    write_wav(dir_ / "store/take.wav", 8000, 1, std::vector<int16_t>(10));
    chmod((dir_ / "store/take.wav").c_str(), 0640);
    fs::create_symlink("store/take.wav", dir_ / "link.wav");

    ASSERT_EQ(tool("--quiet --set eq.on=1 --set eq.band.3=12 in.wav -o link.wav").status, 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.wav"));
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "store/take.wav", w));
    EXPECT_EQ(w.samples.size(), 800u);
    struct stat st {};
    ASSERT_EQ(stat((dir_ / "store/take.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // --in-place writes over the input on purpose, keeping its mode.
    chmod((dir_ / "in.wav").c_str(), 0604);
    ASSERT_EQ(tool("--quiet --set eq.on=1 --set eq.band.3=12 in.wav -o in.wav --in-place").status, 0);
    Wav in;
    ASSERT_TRUE(read_wav(dir_ / "in.wav", in));
    EXPECT_EQ(in.samples, w.samples);
    ASSERT_EQ(stat((dir_ / "in.wav").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_TRUE(leftovers(dir_).empty());
}

TEST_F(RenderToolRun, RendersIntoOneFolderAtOnceNeverMix) {
    // Two processes, two settings, one target: the result is wholly one of
    // them. Two targets in one folder: each its own.
    const std::string a = "--quiet --seconds 2 --set reverb.on=0 ", b = "--quiet --seconds 2 --set eq.bands=31 ";
    fs::create_directories(dir_ / "out");
    ASSERT_EQ(tool(a + "-o alone-a.wav").status, 0);
    ASSERT_EQ(tool(b + "-o alone-b.wav").status, 0);
    const ToolRun r = shell("(\"$T\" " + a + "-o same.wav & \"$T\" " + b + "-o same.wav & \"$T\" " + a +
                            "-o out/a.wav & \"$T\" " + b + "-o out/b.wav & wait) >stdout.txt 2>stderr.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    const std::string same = slurp(dir_ / "same.wav");
    EXPECT_TRUE(same == slurp(dir_ / "alone-a.wav") || same == slurp(dir_ / "alone-b.wav"));
    EXPECT_EQ(slurp(dir_ / "out/a.wav"), slurp(dir_ / "alone-a.wav"));
    EXPECT_EQ(slurp(dir_ / "out/b.wav"), slurp(dir_ / "alone-b.wav"));
    EXPECT_TRUE(leftovers(dir_).empty());
}

TEST_F(RenderToolRun, AnInterruptRemovesTheTemporaryAndEndsAsTheSignalWould) {
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        const fs::path dir = dir_ / std::to_string(sig);
        fs::create_directories(dir);
        // Started directly, with default dispositions: a shell's background
        // job would ignore INT.
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        sigset_t defaults, none;
        sigemptyset(&defaults);
        sigemptyset(&none);
        for (int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&defaults, s);
        posix_spawnattr_setsigdefault(&attr, &defaults);
        posix_spawnattr_setsigmask(&attr, &none);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
        const std::string output = (dir / "long.wav").string();
        const char* argv[] = {AUDIOMIX_RENDER_TOOL, "--quiet", "--seconds", "20000", "-o", output.c_str(), nullptr};
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, AUDIOMIX_RENDER_TOOL, nullptr, &attr, const_cast<char**>(argv), environ), 0);
        posix_spawnattr_destroy(&attr);
        // Signalled once the temporary holds audio.
        bool writing = false;
        for (int i = 0; i < 1000 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (const std::string& part : leftovers(dir)) writing = writing || fs::file_size(part) > 100000;
        }
        EXPECT_TRUE(writing);
        kill(pid, sig);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status));
        if (WIFSIGNALED(status)) {
            EXPECT_EQ(WTERMSIG(status), sig);
        }
        EXPECT_TRUE(leftovers(dir).empty());
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(RenderToolRun, ACutInputIsRenderedWithAWarningAndItsOwnStatus) {
    write_wav(dir_ / "whole.wav", 8000, 2, test_signal(8000));
    const std::string whole = slurp(dir_ / "whole.wav");
    std::ofstream(dir_ / "cut.wav", std::ios::binary) << whole.substr(0, 44 + 4 * 1000 + 2);
    const ToolRun r = tool(kFlat + "cut.wav -o out.wav");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("cut.wav: premature end of input"), std::string::npos) << r.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "out.wav", w));
    EXPECT_EQ(w.info.frames, 1000);
    // Cutting it short on purpose is no warning.
    const ToolRun shorter = tool(kFlat + "cut.wav -o out.wav --seconds 0.05");
    EXPECT_EQ(shorter.status, 0) << shorter.err;
    EXPECT_TRUE(shorter.err.empty()) << shorter.err;
    // In a batch a failure outweighs the warning.
    EXPECT_EQ(tool(kFlat + "cut.wav missing.wav").status, 2);
}

TEST_F(RenderToolRun, StandardInputAndOutput) {
    write_wav(dir_ / "in.wav", 22050, 2, test_signal(2 * 5000));
    const std::string setting = "--set eq.on=1 --set eq.band.2=10 ";
    ASSERT_EQ(tool("-q " + setting + "in.wav -o file.wav").status, 0);
    const ToolRun piped = shell("cat in.wav | \"$T\" " + setting + "- -o - >piped.wav 2>stderr.txt");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(slurp(dir_ / "piped.wav"), slurp(dir_ / "file.wav"));
    // The summary moves to stderr when the audio takes stdout.
    EXPECT_NE(piped.err.find("standard input"), std::string::npos) << piped.err;
    EXPECT_NE(piped.err.find("standard output"), std::string::npos) << piped.err;
    // FLAC through a pipe: --type names the container.
    const ToolRun flac = shell("\"$T\" -q --seconds 0.2 --type flac -o - >piece.flac 2>stderr.txt");
    ASSERT_EQ(flac.status, 0) << flac.err;
    Wav w;
    ASSERT_TRUE(read_wav(dir_ / "piece.flac", w));
    EXPECT_EQ(w.info.format & SF_FORMAT_TYPEMASK, SF_FORMAT_FLAC);
}

TEST_F(RenderToolRun, ABatchGetsOneLinePerFileAndTheOutDir) {
    for (const char* name : {"one", "two", "three"})
        write_wav(dir_ / (std::string(name) + ".wav"), 8000, 1, test_signal(800));
    const ToolRun r = tool("--out-dir done/here one.wav two.wav three.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"one", "two", "three"}) {
        const std::string output = "done/here/" + std::string(name) + "-audiomix.wav";
        EXPECT_TRUE(fs::exists(dir_ / output)) << output;
        EXPECT_NE(r.out.find(std::string(name) + ".wav -> " + output), std::string::npos) << r.out;
    }
    size_t lines = 0;
    for (size_t at = r.out.find(" -> "); at != std::string::npos; at = r.out.find(" -> ", at + 1)) ++lines;
    EXPECT_EQ(lines, 3u) << r.out;
}

TEST_F(RenderToolRun, PlotsGoBesideTheOutputsOrWhereNamed) {
    // A PNG's size is in its header: width and height, big-endian, at 16.
    const auto png_size = [](const std::string& bytes) {
        const auto word = [&](size_t at) {
            return (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24) |
                   (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16) |
                   (static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8) |
                   static_cast<unsigned char>(bytes[at + 3]);
        };
        return bytes.size() > 24 ? std::make_pair(word(16), word(20)) : std::make_pair(0u, 0u);
    };
    ASSERT_EQ(tool("--quiet --seconds 0.5 --plot svg").status, 0);
    const std::string svg = slurp(dir_ / "out/default.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"1000pt\""), std::string::npos);

    ASSERT_EQ(tool("--quiet --seconds 0.5 -o take.flac --plot picture.PNG").status, 0);
    EXPECT_EQ(png_size(slurp(dir_ / "picture.PNG")), std::make_pair(1000u, 700u));

    write_wav(dir_ / "x.wav", 22050, 1, test_signal(4000));
    write_wav(dir_ / "y.wav", 48000, 2, test_signal(8000));
    const ToolRun batch = tool("--plot png x.wav y.wav");
    ASSERT_EQ(batch.status, 0) << batch.err;
    for (const char* name : {"out/x-audiomix.png", "out/y-audiomix.png"})
        EXPECT_EQ(png_size(slurp(dir_ / name)), std::make_pair(1000u, 700u)) << name;

    // Standard output has no "beside"; a folder is no picture.
    EXPECT_EQ(shell("\"$T\" --seconds 0.1 -o - --plot svg >/dev/null 2>stderr.txt").status, 1);
    fs::create_directories(dir_ / "shelf.svg");
    EXPECT_EQ(tool("--seconds 0.1 -o a.wav --plot shelf.svg").status, 2);
    EXPECT_FALSE(fs::exists(dir_ / "a.wav"));  // refused before the render
    EXPECT_TRUE(leftovers(dir_).empty());
}
