// audiomix-render end to end: what it reads, the containers it writes, and
// how it writes them (never half a file, never the wrong one).
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

mode_t mode_of(const fs::path& p) {
    struct stat st {};
    return stat(p.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST_F(RenderToolRun, AnyInputFormatIsRoundedToSixteenBitsOnTheWayIn) {
    // 24-bit v reads as v / 2^23, 8-bit unsigned u as (u - 128) / 128,
    // floats as they are; then x 32768, rounded to nearest, clipped.
    struct Case {
        const char* name;
        int format;
        std::vector<int32_t> ints;  // left-justified in 32 bits
        std::vector<float> floats;
        std::vector<int16_t> want;
    };
    const Case cases[] = {
        {"deep.flac",
         SF_FORMAT_FLAC | SF_FORMAT_PCM_24,
         {0x1234C0 << 8, -0x1234C0 * 256, INT32_MIN},
         {},
         {4661, -4661, -32768}},
        {"byte.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, {72 << 24, -125 * (1 << 24)}, {}, {72 * 256, -125 * 256}},
        {"float.wav",
         SF_FORMAT_WAV | SF_FORMAT_FLOAT,
         {},
         {0.5f, -0.25f, 1.5f, -2.0f, 0.000015f, 0.0000153f},
         {16384, -8192, 32767, -32768, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SF_INFO info{0, 8000, 1, c.format, 0, 0};
        SNDFILE* f = sf_open((dir_ / c.name).c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        if (c.floats.empty()) {
            sf_write_int(f, c.ints.data(), static_cast<sf_count_t>(c.ints.size()));
        } else {
            sf_write_float(f, c.floats.data(), static_cast<sf_count_t>(c.floats.size()));
        }
        sf_close(f);
        const ToolRun r = tool(std::string("--flat ") + c.name + " -o out.wav");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(samples("out.wav"), c.want);
        EXPECT_NE(r.out.find("converted to 16-bit"), std::string::npos) << r.out;
    }
    // 16-bit input passes untouched.
    write_wav(dir_ / "plain.wav", 8000, 2, test_signal(400));
    EXPECT_EQ(tool("--flat plain.wav -o out.wav").out.find("converted"), std::string::npos);
    EXPECT_EQ(samples("out.wav"), test_signal(400));
}

TEST_F(RenderToolRun, TheNameOrTypeChoosesTheContainer) {
    // By default the piece goes to out/default.wav, 16-bit CD audio.
    const ToolRun piece = tool("--seconds 0.25");
    ASSERT_EQ(piece.status, 0) << piece.err;
    Wav reference;
    ASSERT_TRUE(read_wav(dir_ / "out/default.wav", reference));
    EXPECT_EQ(reference.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    EXPECT_TRUE(reference.info.samplerate == 44100 && reference.info.channels == 2 && reference.info.frames == 11025);
    EXPECT_NE(piece.out.find("equaliser (10 bands) -> reverb -> compressor"), std::string::npos) << piece.out;
    EXPECT_TRUE(piece.err.empty()) << piece.err;  // no progress bar for a short, redirected render
    // The lossless containers hold the same samples; the WAV limit lowered
    // to 1000 bytes stands in for 4 GiB.
    const std::pair<const char*, int> cases[] = {
        {"a.rf64", SF_FORMAT_RF64 | SF_FORMAT_PCM_16},
        {"a.AIFF", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
        {"a.dat --type flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
        {"a.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS},
        {"long.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16},
        {"long.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16},
    };
    const std::string lowered = "AUDIOMIX_RENDER_WAV_LIMIT=1000";
    for (const auto& [args, format] : cases) {
        SCOPED_TRACE(args);
        const ToolRun r = tool(std::string("--seconds 0.25 -o ") + args, args[0] == 'l' ? lowered : "");
        ASSERT_EQ(r.status, 0) << r.err;
        Wav w;
        ASSERT_TRUE(read_wav(dir_ / std::string(args).substr(0, std::string(args).find(' ')), w));
        EXPECT_EQ(w.info.format, format);
        if ((format & SF_FORMAT_SUBMASK) == SF_FORMAT_PCM_16) {
            EXPECT_EQ(w.samples, reference.samples);
        }
        EXPECT_EQ(r.out.find("RF64") != std::string::npos, (format & SF_FORMAT_TYPEMASK) == SF_FORMAT_RF64);
    }
    const ToolRun aiff = tool("--seconds 0.25 -o long.aiff", lowered);
    EXPECT_EQ(aiff.status, 2);
    EXPECT_NE(aiff.err.find("long.aiff: AIFF counts its data in 32 bits"), std::string::npos) << aiff.err;
    EXPECT_EQ(tool("--seconds 0.1 -o song.mp3").status, 1);
    EXPECT_TRUE(leftovers().empty());
    EXPECT_FALSE(fs::exists(dir_ / "long.aiff"));
}

TEST_F(RenderToolRun, OnlyWhatMayBeReplacedIsReplaced) {
    write_wav(dir_ / "in.wav", 8000, 1, test_signal(800));
    const std::string original = read("in.wav");
    fs::copy_file(dir_ / "in.wav", dir_ / "locked.wav");
    chmod((dir_ / "locked.wav").c_str(), 0444);
    fs::create_directories(dir_ / "folder.wav");
    const std::pair<const char*, const char*> refused[] = {
        {"locked.wav", "read-only"}, {"folder.wav", "folder"},    {"/dev/null", "not a regular file"},
        {"in.wav", "is an input"},   {"./in.wav", "is an input"}, {"missing/x.wav", "no folder"},
    };
    for (const auto& [output, reason] : refused) {
        const ToolRun r = tool(std::string("--flat in.wav -o ") + output);
        EXPECT_EQ(r.status, 2) << output;
        EXPECT_NE(r.err.find(std::string(output) + ": "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(".part"), std::string::npos) << r.err;  // never the temporary's name
    }
    EXPECT_EQ(mode_of(dir_ / "locked.wav"), 0444u);
    EXPECT_EQ(read("locked.wav"), original);
    EXPECT_EQ(read("in.wav"), original);

    // A link is followed and the file it names keeps its mode.
    fs::create_directories(dir_ / "store");
    write_wav(dir_ / "store/take.wav", 8000, 1, std::vector<int16_t>(10));
    chmod((dir_ / "store/take.wav").c_str(), 0640);
    fs::create_symlink("store/take.wav", dir_ / "link.wav");
    const std::string setting = "-q --set eq.on=1 --set eq.band.3=12 in.wav ";
    ASSERT_EQ(tool(setting + "-o link.wav").status, 0);
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.wav"));
    const std::vector<int16_t> rendered = samples("store/take.wav");
    EXPECT_EQ(rendered.size(), 800u);
    EXPECT_EQ(mode_of(dir_ / "store/take.wav"), 0640u);
    // --in-place writes over the input on purpose, keeping its mode.
    chmod((dir_ / "in.wav").c_str(), 0604);
    ASSERT_EQ(tool(setting + "-o in.wav --in-place").status, 0);
    EXPECT_EQ(samples("in.wav"), rendered);
    EXPECT_EQ(mode_of(dir_ / "in.wav"), 0604u);
    EXPECT_TRUE(leftovers().empty());
}

TEST_F(RenderToolRun, RendersIntoOneFolderAtOnceNeverMix) {
    // Two processes, two settings, one target: the result is wholly one of
    // them. Two targets in one folder: each its own.
    const std::string a = "--quiet --seconds 2 --set reverb.on=0 ", b = "--quiet --seconds 2 --set eq.bands=31 ";
    ASSERT_EQ(tool(a + "-o alone-a.wav").status, 0);
    ASSERT_EQ(tool(b + "-o alone-b.wav").status, 0);
    const ToolRun r = shell("(\"$T\" " + a + "-o same.wav & \"$T\" " + b + "-o same.wav & \"$T\" " + a +
                            "-o a.wav & \"$T\" " + b + "-o b.wav & wait) >stdout.txt 2>stderr.txt");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_TRUE(read("same.wav") == read("alone-a.wav") || read("same.wav") == read("alone-b.wav"));
    EXPECT_EQ(read("a.wav"), read("alone-a.wav"));
    EXPECT_EQ(read("b.wav"), read("alone-b.wav"));
    EXPECT_TRUE(leftovers().empty());
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
        bool writing = false;  // signalled once the temporary holds audio
        for (int i = 0; i < 1000 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (const std::string& part : leftovers(dir)) writing = writing || fs::file_size(part) > 100000;
        }
        EXPECT_TRUE(writing);
        kill(pid, sig);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
        EXPECT_TRUE(leftovers(dir).empty());
        EXPECT_FALSE(fs::exists(output));
    }
}

TEST_F(RenderToolRun, ACutInputIsRenderedWithAWarningAndItsOwnStatus) {
    write_wav(dir_ / "whole.wav", 8000, 2, test_signal(8000));
    put("cut.wav", read("whole.wav").substr(0, 44 + 4 * 1000 + 2));
    const ToolRun r = tool("--flat cut.wav -o out.wav");
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("cut.wav: premature end of input"), std::string::npos) << r.err;
    EXPECT_EQ(samples("out.wav").size(), 2000u);
    // Cutting it short on purpose is no warning.
    const ToolRun shorter = tool("--flat cut.wav -o out.wav --seconds 0.05");
    EXPECT_EQ(shorter.status, 0) << shorter.err;
    EXPECT_TRUE(shorter.err.empty()) << shorter.err;
    // In a batch a failure outweighs the warning, whichever comes first.
    EXPECT_EQ(tool("--flat cut.wav missing.wav").status, 2);
    EXPECT_EQ(tool("--flat missing.wav cut.wav").status, 2);
}

TEST_F(RenderToolRun, StandardInputAndOutput) {
    write_wav(dir_ / "in.wav", 22050, 2, test_signal(2 * 5000));
    const std::string setting = "--set eq.on=1 --set eq.band.2=10 ";
    ASSERT_EQ(tool("-q " + setting + "in.wav -o file.wav").status, 0);
    const ToolRun piped = shell("cat in.wav | \"$T\" " + setting + "- -o - >piped.wav 2>stderr.txt");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(read("piped.wav"), read("file.wav"));
    // The summary moves to stderr when the audio takes stdout.
    EXPECT_NE(piped.err.find("standard output"), std::string::npos) << piped.err;
}

TEST_F(RenderToolRun, PlotsGoBesideTheOutputsOrWhereNamed) {
    write_wav(dir_ / "x.wav", 22050, 1, test_signal(4000));
    ASSERT_EQ(tool("--plot png x.wav").status, 0);
    ASSERT_EQ(tool("--quiet --seconds 0.5 -o take.flac --plot picture.SVG").status, 0);
    EXPECT_EQ(read("out/x-audiomix.png").substr(1, 3), "PNG");
    EXPECT_NE(read("picture.SVG").find("width=\"1000pt\" height=\"700pt\""), std::string::npos);
    // A folder is no picture, and is refused before the render.
    fs::create_directories(dir_ / "shelf.svg");
    EXPECT_EQ(tool("--seconds 0.1 -o a.wav --plot shelf.svg").status, 2);
    EXPECT_FALSE(fs::exists(dir_ / "a.wav"));
    EXPECT_TRUE(leftovers().empty());
}
