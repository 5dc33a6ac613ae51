// The demo host's portable parts: its command line, its WAV reader (valid
// files in their variants and the ways a file can be unusable), the built-in
// music (continuous, looping, stereo, loud enough and never clipped) and the
// BMP it writes screenshots to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "bitmap_file.h"
#include "music.h"
#include "options.h"
#include "wav_file.h"

namespace {

// ---- Options ------------------------------------------------------------------------

host::Options parse_ok(const std::vector<std::string>& args) {
    host::Options o;
    EXPECT_EQ(host::parse_options(args, o), "");
    return o;
}

std::string parse_error(const std::vector<std::string>& args) {
    host::Options o;
    return host::parse_options(args, o);
}

TEST(HostOptions, ReadsSecondsScreenshotFramesAndOneInputFile) {
    // Defaults: run until the window closes, with the built-in music.
    const host::Options d = parse_ok({});
    EXPECT_EQ(d.seconds, 0);
    EXPECT_EQ(d.frames, 1024);
    EXPECT_TRUE(d.wav.empty() && d.screenshot.empty() && !d.help);

    const host::Options o = parse_ok({"--seconds", "2.5", "in.wav", "--screenshot", "out/w.bmp", "--frames", "512"});
    EXPECT_DOUBLE_EQ(o.seconds, 2.5);
    EXPECT_EQ(o.wav, "in.wav");
    EXPECT_EQ(o.screenshot, "out/w.bmp");
    EXPECT_EQ(o.frames, 512);
    EXPECT_TRUE(parse_ok({"--help"}).help);
}

TEST(HostOptions, RefusesBadValuesAndStrayArguments) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--seconds"}, {"--seconds", "0"}, {"--seconds", "-1"}, {"--seconds", "3s"}, {"--seconds", "nan"},
             {"--screenshot"}, {"--frames", "63"}, {"--frames", "4101"}, {"--frames", "100.5"},
             {"--loud"}, {"a.wav", "b.wav"}}) {
        EXPECT_NE(parse_error(args), "") << args[0];
    }
    EXPECT_EQ(parse_ok({"--frames", "64"}).frames, 64);
    EXPECT_EQ(parse_ok({"--frames", "4100"}).frames, 4100);
}

// ---- WAV files --------------------------------------------------------------------------

struct WavBuilder {
    std::vector<uint8_t> bytes;
    void u16(uint32_t v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void tag(const char* t) { bytes.insert(bytes.end(), t, t + 4); }
    void format(uint32_t tag_value, int channels, int rate, int bits, bool extensible = false) {
        tag("fmt ");
        u32(extensible ? 40 : 16);
        u16(extensible ? 0xFFFE : tag_value);
        u16(static_cast<uint32_t>(channels));
        u32(static_cast<uint32_t>(rate));
        u32(static_cast<uint32_t>(rate * channels * bits / 8));
        u16(static_cast<uint32_t>(channels * bits / 8));
        u16(static_cast<uint32_t>(bits));
        if (extensible) {
            u16(22);
            u16(static_cast<uint32_t>(bits));
            u32(3);
            u16(tag_value);  // first two bytes of the sub-format GUID
            for (int i = 0; i < 14; ++i) bytes.push_back(0);
        }
    }
    void data(const std::vector<int16_t>& samples, uint32_t claimed = 0) {
        tag("data");
        u32(claimed ? claimed : static_cast<uint32_t>(samples.size() * 2));
        for (int16_t s : samples) u16(static_cast<uint16_t>(s));
    }
    void chunk(const char* t, size_t size) {
        tag(t);
        u32(static_cast<uint32_t>(size));
        bytes.insert(bytes.end(), size + (size & 1), 0x55);
    }
    std::vector<uint8_t> file() const {
        WavBuilder f;
        f.tag("RIFF");
        f.u32(static_cast<uint32_t>(bytes.size() + 4));
        f.tag("WAVE");
        f.bytes.insert(f.bytes.end(), bytes.begin(), bytes.end());
        return f.bytes;
    }
};

TEST(HostWav, ReadsStereoAndMonoSixteenBitPcm) {
    WavBuilder stereo;
    stereo.format(1, 2, 48000, 16);
    stereo.data({1, -1, 32767, -32768, 0, 7});
    host::WavData wav;
    ASSERT_EQ(host::decode_wav(stereo.file(), wav), "");
    EXPECT_EQ(wav.rate, 48000);
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.samples, (std::vector<int16_t>{1, -1, 32767, -32768, 0, 7}));

    WavBuilder mono;
    mono.format(1, 1, 22050, 16);
    mono.data({-5, 5, 9});
    ASSERT_EQ(host::decode_wav(mono.file(), wav), "");
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.samples.size(), 3u);
}

TEST(HostWav, SkipsOtherChunksIncludingOddSizedOnesAndReadsExtensiblePcm) {
    WavBuilder f;
    f.chunk("LIST", 3);  // padded to 4
    f.format(1, 2, 44100, 16, true);
    f.chunk("fact", 4);
    f.data({10, 20, 30, 40});
    host::WavData wav;
    ASSERT_EQ(host::decode_wav(f.file(), wav), "");
    EXPECT_EQ(wav.samples, (std::vector<int16_t>{10, 20, 30, 40}));
}

TEST(HostWav, ATruncatedDataChunkGivesItsWholeFrames) {
    WavBuilder f;
    f.format(1, 2, 44100, 16);
    f.data({1, 2, 3, 4, 5}, 1000);  // claims 1000 bytes, holds two and a half frames
    host::WavData wav;
    ASSERT_EQ(host::decode_wav(f.file(), wav), "");
    EXPECT_EQ(wav.samples, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(HostWav, RefusesWhatTheLibraryCannotTake) {
    auto reason = [](const WavBuilder& f) {
        host::WavData wav;
        const std::string why = host::decode_wav(f.file(), wav);
        EXPECT_TRUE(wav.samples.empty());
        return why;
    };
    auto built = [](int tag, int channels, int rate, int bits, const std::vector<int16_t>& samples) {
        WavBuilder f;
        if (tag) f.format(static_cast<uint32_t>(tag), channels, rate, bits);
        if (!samples.empty()) f.data(samples);
        return f;
    };
    EXPECT_NE(reason(built(1, 1, 8000, 8, {1})).find("16-bit"), std::string::npos);
    EXPECT_NE(reason(built(3, 2, 44100, 32, {1, 2})).find("PCM"), std::string::npos);
    EXPECT_NE(reason(built(1, 6, 44100, 16, {1, 2, 3, 4, 5, 6})), "");  // more than two channels
    EXPECT_NE(reason(built(0, 0, 0, 16, {1, 2})), "");                  // no format chunk
    EXPECT_NE(reason(built(1, 2, 44100, 16, {})), "");                  // no data chunk
    WavBuilder empty;
    empty.format(1, 2, 44100, 16);
    empty.data({});
    EXPECT_NE(reason(empty), "");
    host::WavData wav;
    EXPECT_NE(host::decode_wav({'R', 'I', 'F', 'F'}, wav), "");
    EXPECT_NE(host::decode_wav(std::vector<uint8_t>(64, 0), wav), "");
}

// ---- Built-in music ------------------------------------------------------------------------

std::vector<int16_t> render(host::Music& m, int frames, int channels = 2) {
    std::vector<int16_t> out(static_cast<size_t>(frames) * channels);
    m.render(out.data(), frames, channels);
    return out;
}

TEST(HostMusic, ContinuesAcrossBuffersAndRepeatsEveryLoop) {
    host::Music whole(44100), pieces(44100);
    const std::vector<int16_t> a = render(whole, 3000);
    std::vector<int16_t> b = render(pieces, 1024);
    const std::vector<int16_t> rest = render(pieces, 1976);
    b.insert(b.end(), rest.begin(), rest.end());
    EXPECT_EQ(a, b);

    host::Music looped(44100);
    const int64_t loop = looped.loop_frames();
    // 112 beats a minute, four bars of four beats.
    EXPECT_NEAR(static_cast<double>(loop) / 44100, 16 * 60.0 / 112, 1e-4);
    const std::vector<int16_t> start = render(looped, 2000);
    std::vector<int16_t> skip(static_cast<size_t>(loop - 2000) * 2);
    looped.render(skip.data(), static_cast<int>(loop - 2000), 2);
    EXPECT_EQ(render(looped, 2000), start);
}

TEST(HostMusic, IsStereoLoudAndNeverClipped) {
    host::Music m(44100);
    const std::vector<int16_t> s = render(m, static_cast<int>(m.loop_frames()));
    int peak = 0, clipped = 0;
    double side_difference = 0;
    for (size_t i = 0; i < s.size(); i += 2) {
        peak = std::max({peak, std::abs(static_cast<int>(s[i])), std::abs(static_cast<int>(s[i + 1]))});
        clipped += s[i] == 32767 || s[i] == -32768 || s[i + 1] == 32767 || s[i + 1] == -32768;
        side_difference += std::abs(s[i] - s[i + 1]);
    }
    EXPECT_EQ(clipped, 0);
    EXPECT_GT(peak, 32768 / 4) << "quieter than -12 dBFS";
    EXPECT_GT(side_difference / (s.size() / 2), 200) << "left and right hardly differ";
}

TEST(HostMusic, HasDynamicsForTheLevelDisplay) {
    // RMS in 50 ms windows over two seconds: beats make it rise and fall.
    host::Music m(44100);
    const std::vector<int16_t> s = render(m, 2 * 44100);
    double lo = 1e9, hi = 0;
    for (size_t w = 0; w + 2205 <= s.size() / 2; w += 2205) {
        double sum = 0;
        for (size_t i = w; i < w + 2205; ++i) sum += static_cast<double>(s[2 * i]) * s[2 * i];
        const double rms = std::sqrt(sum / 2205);
        lo = std::min(lo, rms);
        hi = std::max(hi, rms);
    }
    EXPECT_GT(hi, 2.5 * lo);
}

TEST(HostMusic, MonoIsTheMeanOfBothSides) {
    host::Music stereo(22050), mono(22050);
    const std::vector<int16_t> s = render(stereo, 4000, 2), m = render(mono, 4000, 1);
    for (size_t i = 0; i < m.size(); ++i) EXPECT_NEAR(m[i], (s[2 * i] + s[2 * i + 1]) / 2.0, 1.0) << i;
}

// ---- Screenshot files -------------------------------------------------------------------------

TEST(HostBitmap, WritesABottomUp24BitFileWithPaddedRows) {
    // 0x00RRGGBB pixels, top row first.
    const std::vector<uint8_t> f = host::encode_bmp(2, 2, {0x112233, 0x445566, 0x778899, 0xAABBCC});
    // Rows of 6 bytes padded to 8.
    ASSERT_EQ(f.size(), 54u + 16u);
    EXPECT_EQ((std::vector<int>{f[0], f[1], f[2] | f[3] << 8, f[10], f[18], f[22], f[28]}),
              (std::vector<int>{'B', 'M', 70, 54, 2, 2, 24}));
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 54, f.end()),
              (std::vector<uint8_t>{0x99, 0x88, 0x77, 0xCC, 0xBB, 0xAA, 0, 0, 0x33, 0x22, 0x11, 0x66, 0x55, 0x44, 0, 0}));
    EXPECT_TRUE(host::encode_bmp(2, 2, {1, 2, 3}).empty());
    EXPECT_TRUE(host::encode_bmp(0, 0, {}).empty());
}

}  // namespace
