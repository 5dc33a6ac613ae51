#include <cstring>
#include <memory>
#include <string>

#include "dsp/eq_tables.h"
#include "api/lifecycle.h"
#include "test_support.h"

namespace audiomix {
namespace {

using testing::EngineTest;
using testing::make_signal;

class Lifecycle : public EngineTest {};

TEST_F(Lifecycle, BeginMakesTheWindowOnceAndSelectsThe44100TenBandTable) {
    int host = 0;
    audiomix_set_mainwnd(&host);
    audiomix_begin(0x123456);
    ControlWindow* first = testing::settings().link.controlWindow;
    ASSERT_NE(first, nullptr);
    // The new window fixes the skin colour and forgets the host window.
    EXPECT_EQ(testing::settings().link.skinColour, 0x00624C06u);
    EXPECT_EQ(testing::settings().link.hostWindow, nullptr);
    audiomix_set_mainwnd(&host);
    EXPECT_EQ(testing::settings().link.hostWindow, &host);

    audiomix_init(48000, 2, 1);
    EXPECT_EQ(audiomix_get_dispstatus(), 1);
    default_engine().edit()->settingsChanged = 1;
    audiomix_begin(0x00ABCDEF);
    EXPECT_EQ(testing::settings().link.controlWindow, first);
    EXPECT_EQ(testing::settings().link.skinColour, 0x00ABCDEFu);
    EXPECT_EQ(testing::settings().chain.sampleRate, 44100);
    EXPECT_EQ(testing::settings().chain.eqTable, &eq_table_for(10, 44100));
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    EXPECT_EQ(testing::settings().settingsChanged, 1);  // cleared only when a window is made
}

TEST_F(Lifecycle, UnsupportedRateRunsReverbAndCompressorButNeverTheEqualiser) {
    audiomix_begin(0);
    audiomix_init(32000, 2, 0);
    EXPECT_EQ(audiomix_get_sample(), 32000);
    EXPECT_NEAR(testing::settings().chain.compAttackCoef, 1.0 - 1.0 / 32.0, 1e-7);
    audiomix_setiir(1);
    auto buffer = make_signal(1000, 2, 8000, 1);
    const auto original = buffer;
    audiomix_change(buffer.data(), static_cast<int32_t>(buffer.size() * 2), 0);
    EXPECT_EQ(buffer, original);
}

// datarefresh clears the rings and filter memories but keeps the positions;
// at a rate the equaliser does not cover it does nothing.
TEST_F(Lifecycle, DatarefreshClearsRingsAndFilterMemoriesAtCoveredRates) {
    for (int32_t rate : {44100, 32000}) {
        testing::reset_engine();
        audiomix_begin(0);
        audiomix_init(rate, 2, 0);
        default_engine().edit()->chain.reverbOn = 1;
        audiomix_setiir(1);
        auto buffer = make_signal(3000, 2, 8000, 2);
        audiomix_change(buffer.data(), static_cast<int32_t>(buffer.size() * 2), 0);
        const ChainSignal& signal = default_engine().signal();
        const std::vector<float> ring(std::begin(signal.reverb[1].samples), std::end(signal.reverb[1].samples));
        const uint16_t pos = signal.reverb[0].writePos;
        ASSERT_NE(ring, std::vector<float>(ring.size(), 0.0f));
        audiomix_datarefresh();
        audiomix_change(nullptr, 0, 0);  // the clears reach the signal with the next buffer
        const std::vector<float> after(std::begin(signal.reverb[1].samples), std::end(signal.reverb[1].samples));
        EXPECT_EQ(after, rate == 32000 ? ring : std::vector<float>(ring.size(), 0.0f)) << rate;
        if (rate == 44100) {
            for (int b = 0; b < kMaxBands; ++b) ASSERT_EQ(signal.eqHistory[0][b][0][3], 0.0f);
        }
        EXPECT_EQ(signal.reverb[0].writePos, pos);
    }
}

TEST_F(Lifecycle, InitStartsTheNextTrackWithoutTheLastOnesReverbTail) {
    audiomix_begin(0);
    audiomix_init(44100, 2, 0);
    ASSERT_EQ(audiomix_param_set("reverb.on", 1), AUDIOMIX_PARAM_OK);
    auto loud = make_signal(4000, 2, 20000, 3);
    audiomix_change(loud.data(), static_cast<int32_t>(loud.size() * 2), 0);
    audiomix_init(44100, 2, 0);
    ASSERT_EQ(audiomix_param_set("reverb.on", 1), AUDIOMIX_PARAM_OK);
    std::vector<int16_t> silence(4000 * 2, 0);
    audiomix_change(silence.data(), static_cast<int32_t>(silence.size() * 2), 0);
    EXPECT_EQ(silence, std::vector<int16_t>(silence.size(), 0));
}

TEST_F(Lifecycle, CloseSwitchesReverbAndCompressorOffButTheEqualiserRuns) {
    audiomix_begin(0);
    audiomix_init(44100, 1, 1);
    audiomix_setiir(1);
    {
        auto s = default_engine().edit();
        s->chain.reverbOn = s->chain.compOn = 1;
    }
    audiomix_close();
    EXPECT_EQ(testing::settings().link.controlWindow, nullptr);
    EXPECT_EQ(testing::settings().chain.scopeDc, nullptr);
    EXPECT_EQ(testing::settings().chain.reverbOn + testing::settings().chain.compOn + testing::settings().chain.displayShown, 0);
    auto buffer = make_signal(500, 1, 10000, 4);
    const auto original = buffer;
    audiomix_change(buffer.data(), static_cast<int32_t>(buffer.size() * 2), 1);
    EXPECT_NE(buffer, original);
    // Without a window these only store; twice closed is harmless.
    audiomix_setdisp(1);
    EXPECT_EQ(audiomix_get_dispstatus(), 0);
    audiomix_close();
    audiomix_begin(0);
    EXPECT_NE(testing::settings().link.controlWindow, nullptr);
}

TEST_F(Lifecycle, ChannelCountsOutsideOneOrTwoLeaveAudioAloneAndChangeReturnsItsLength) {
    int16_t small[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(audiomix_change(small, 16, 1), 16);  // before begin and init
    EXPECT_EQ(audiomix_change(nullptr, 400, 1), 400);
    EXPECT_EQ(audiomix_change(small, -6, 1), -6);
    audiomix_begin(0);
    for (int32_t channels : {0, 3, -1, 8}) {
        audiomix_init(44100, channels, 1);
        EXPECT_EQ(audiomix_get_ch(), channels);
        audiomix_setiir(1);
        {
            auto s = default_engine().edit();
            s->chain.reverbOn = s->chain.compOn = 1;
        }
        auto buffer = make_signal(960, 1, 20000, 6);
        const auto original = buffer;
        EXPECT_EQ(audiomix_change(buffer.data(), 1920, 1), 1920);
        EXPECT_EQ(buffer, original) << channels;
    }
}

TEST_F(Lifecycle, BuffersLongerThanTheWorkBufferRunAsConsecutivePieces) {
    // One stream gets a 9001-frame buffer, the other the same samples as
    // 4100 + 4100 + 801 frames; both must end alike, and so must what follows.
    audiomix_engine* once = audiomix_engine_create(44100, 2);
    audiomix_engine* split = audiomix_engine_create(44100, 2);
    for (audiomix_engine* e : {once, split})
        for (const char* name : {"eq.on", "reverb.on", "comp.on"}) audiomix_engine_param_set(e, name, 1);
    auto whole = make_signal(9001, 2, 12000, 8);
    auto pieces = whole;
    EXPECT_EQ(audiomix_engine_process(once, whole.data(), 9001), 9001);
    audiomix_engine_process(split, pieces.data(), 4100);
    audiomix_engine_process(split, pieces.data() + 8200, 4100);
    audiomix_engine_process(split, pieces.data() + 16400, 801);
    auto tail_once = make_signal(3000, 2, 20000, 9);
    auto tail_split = tail_once;
    audiomix_engine_process(once, tail_once.data(), 3000);
    audiomix_engine_process(split, tail_split.data(), 3000);
    EXPECT_EQ(whole, pieces);
    EXPECT_EQ(tail_once, tail_split);
    audiomix_engine_destroy(once);
    audiomix_engine_destroy(split);
}

TEST(PresetPath, IsTheLibraryFolderAndTheFileName) {
    char out[256];
    preset_path_from_module("C:\\Program Files\\Host\\audiomix.dll", '\\', out, sizeof out);
    EXPECT_STREQ(out, "C:\\Program Files\\Host\\audioeqset.eq");
    preset_path_from_module(nullptr, '\\', out, sizeof out);
    EXPECT_STREQ(out, "\\audioeqset.eq");

    // Folder + '\' + 13 characters + NUL: exactly the buffer fits; one byte
    // less leaves it empty.
    const std::string fits(256 - 15, 'f');
    preset_path_from_module((fits + "\\x.dll").c_str(), '\\', out, sizeof out);
    EXPECT_EQ(std::strlen(out), 255u);
    preset_path_from_module((fits + "\\x.dll").c_str(), '\\', out, sizeof out - 1);
    EXPECT_STREQ(out, "");
}

TEST(Title, LongTextIsCutAt511BytesOutsideADoubleByteCharacter) {
    char out[512];
    copy_title(std::string(600, 'a').c_str(), out, sizeof out);
    EXPECT_EQ(std::strlen(out), 511u);
    // 510 ASCII bytes and then a two-byte GBK character: it would end at 512.
    copy_title((std::string(510, 'b') + "\xC0\xB6tail").c_str(), out, sizeof out);
    EXPECT_EQ(std::strlen(out), 510u);
    copy_title(nullptr, out, sizeof out);
    EXPECT_STREQ(out, "");
}

}  // namespace
}  // namespace audiomix
