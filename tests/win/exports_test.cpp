// audiomix.dll as a host sees it: every export reachable by name and by its
// ordinal, both giving the same entry point, and the gaps in the ordinal
// numbering really empty.
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "audiomix.h"

namespace {

struct Export {
    int ordinal;
    const char* name;
};

// The ordinals hosts are built against (the @n of audiomix.h), written out
// here rather than read from the .def file so that a renumbering in the
// .def cannot pass unnoticed.
constexpr Export kExports[] = {
    {1, "audiomix_begin"},         {2, "audiomix_close"},
    {3, "audiomix_change"},        {4, "audiomix_init"},
    {5, "audiomix_setiir"},        {8, "audiomix_setdisp"},
    {9, "audiomix_datarefresh"},   {12, "audiomix_get_dispstatus"},
    {13, "audiomix_get_sample"},   {14, "audiomix_set_mainwnd"},
    {15, "audiomix_get_ch"},       {16, "audiomix_set_title"},
    {17, "audiomix_param_set"},    {18, "audiomix_param_get"},
    {19, "audiomix_param_name"},   {20, "audiomix_preset_count"},
    {21, "audiomix_preset_name"},  {22, "audiomix_preset_apply"},
    {23, "audiomix_engine_create"},       {24, "audiomix_engine_destroy"},
    {25, "audiomix_engine_process"},      {26, "audiomix_engine_process_float"},
    {27, "audiomix_engine_param_set"},    {28, "audiomix_engine_param_get"},
    {29, "audiomix_engine_param_name"},   {30, "audiomix_engine_preset_count"},
    {31, "audiomix_engine_preset_name"},  {32, "audiomix_engine_preset_apply"},
    {33, "audiomix_engine_reset"},
};

// The DLL beside this executable (the build puts a copy there).
std::wstring dll_path() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\') + 1) + L"audiomix.dll";
}

template <typename F>
F as(FARPROC proc) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)(void)>(proc));
}

FARPROC by_ordinal(HMODULE module, int ordinal) {
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal));
}

class DllExports : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(dll_path().c_str());
        ASSERT_NE(module_, nullptr) << "LoadLibraryW failed, error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

TEST_F(DllExports, EveryFunctionHasTheSameEntryPointByNameAndByOrdinal) {
    for (const Export& e : kExports) {
        SCOPED_TRACE(e.name);
        const FARPROC named = GetProcAddress(module_, e.name);
        const FARPROC numbered = by_ordinal(module_, e.ordinal);
        ASSERT_NE(named, nullptr);
        ASSERT_NE(numbered, nullptr);
        EXPECT_EQ(reinterpret_cast<void*>(named), reinterpret_cast<void*>(numbered));
    }
}

TEST_F(DllExports, EntryPointsAreDistinct) {
    for (const Export& a : kExports) {
        for (const Export& b : kExports) {
            if (a.ordinal >= b.ordinal) continue;
            EXPECT_NE(reinterpret_cast<void*>(by_ordinal(module_, a.ordinal)),
                      reinterpret_cast<void*>(by_ordinal(module_, b.ordinal)))
                << a.name << " and " << b.name;
        }
    }
}

TEST_F(DllExports, UnusedOrdinalsAndOtherNamesAreAbsent) {
    for (const int ordinal : {6, 7, 10, 11, 34}) {
        EXPECT_EQ(by_ordinal(module_, ordinal), nullptr) << "ordinal " << ordinal;
    }
    // Names are exported undecorated and case-sensitive.
    EXPECT_EQ(GetProcAddress(module_, "_audiomix_begin"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "AUDIOMIX_BEGIN"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "audiomix_begin@4"), nullptr);
}

// Functions called only through their ordinals do what their names say: the
// read-outs report what audiomix_init stored. A shuffled ordinal table that
// still pointed at some function would fail here.
TEST_F(DllExports, OrdinalsReachTheFunctionsTheirNumbersStandFor) {
    const auto begin = as<decltype(&audiomix_begin)>(by_ordinal(module_, 1));
    const auto close = as<decltype(&audiomix_close)>(by_ordinal(module_, 2));
    const auto change = as<decltype(&audiomix_change)>(by_ordinal(module_, 3));
    const auto init = as<decltype(&audiomix_init)>(by_ordinal(module_, 4));
    const auto setdisp = as<decltype(&audiomix_setdisp)>(by_ordinal(module_, 8));
    const auto get_dispstatus = as<decltype(&audiomix_get_dispstatus)>(by_ordinal(module_, 12));
    const auto get_sample = as<decltype(&audiomix_get_sample)>(by_ordinal(module_, 13));
    const auto get_ch = as<decltype(&audiomix_get_ch)>(by_ordinal(module_, 15));
    const auto param_set = as<decltype(&audiomix_param_set)>(by_ordinal(module_, 17));
    const auto param_get = as<decltype(&audiomix_param_get)>(by_ordinal(module_, 18));
    const auto param_name = as<decltype(&audiomix_param_name)>(by_ordinal(module_, 19));
    const auto preset_count = as<decltype(&audiomix_preset_count)>(by_ordinal(module_, 20));
    const auto preset_name = as<decltype(&audiomix_preset_name)>(by_ordinal(module_, 21));
    const auto preset_apply = as<decltype(&audiomix_preset_apply)>(by_ordinal(module_, 22));
    ASSERT_TRUE(begin && close && change && init && setdisp && get_dispstatus && get_sample && get_ch &&
                param_set && param_get && param_name && preset_count && preset_name && preset_apply);

    // Load state: rate 1, no channels.
    EXPECT_EQ(get_sample(), 1);
    EXPECT_EQ(get_ch(), 0);

    begin(0x00336699u);
    init(22050, 1, 0);
    EXPECT_EQ(get_sample(), 22050);
    EXPECT_EQ(get_ch(), 1);
    setdisp(2);
    EXPECT_EQ(get_dispstatus(), 2);

    // audiomix_change returns its length argument, whatever it is.
    int16_t samples[8] = {};
    EXPECT_EQ(change(samples, static_cast<int32_t>(sizeof samples), 0), 16);
    EXPECT_EQ(change(nullptr, 12, 0), 12);

    EXPECT_EQ(param_set("comp.on", 1), AUDIOMIX_PARAM_OK);
    double value = 0;
    EXPECT_EQ(param_get("comp.on", &value), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(value, 1.0);
    EXPECT_EQ(param_set("no.such.name", 1), AUDIOMIX_PARAM_UNKNOWN);
    char name[32] = {};
    const int32_t length = param_name(0, name, sizeof name);
    EXPECT_EQ(length, static_cast<int32_t>(std::strlen(name)));
    EXPECT_GT(length, 3);

    // Ten bands: the eight built-in 10-band presets at least, the first one
    // the flat default; "Rock" (the third) lifts band 0 by 8.
    EXPECT_GE(preset_count(), 8);
    char preset[64] = {};
    EXPECT_EQ(preset_name(0, preset, sizeof preset), 20);  // "10频段缺省模式" in UTF-8
    EXPECT_STREQ(preset, "10\xE9\xA2\x91\xE6\xAE\xB5\xE7\xBC\xBA\xE7\x9C\x81\xE6\xA8\xA1\xE5\xBC\x8F");
    EXPECT_EQ(preset_name(-1, preset, sizeof preset), -1);
    EXPECT_EQ(preset_apply(2), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(param_get("eq.band.0", &value), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(value, 8.0);
    EXPECT_EQ(preset_apply(preset_count()), AUDIOMIX_PARAM_UNKNOWN);

    close();  // switches the compressor off
    EXPECT_EQ(param_get("comp.on", &value), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(get_dispstatus(), 0);
}

// The engines for hosts, called through their ordinals only.
TEST_F(DllExports, EngineOrdinalsReachTheFunctionsTheirNumbersStandFor) {
    const auto create = as<decltype(&audiomix_engine_create)>(by_ordinal(module_, 23));
    const auto destroy = as<decltype(&audiomix_engine_destroy)>(by_ordinal(module_, 24));
    const auto process = as<decltype(&audiomix_engine_process)>(by_ordinal(module_, 25));
    const auto process_float = as<decltype(&audiomix_engine_process_float)>(by_ordinal(module_, 26));
    const auto param_set = as<decltype(&audiomix_engine_param_set)>(by_ordinal(module_, 27));
    const auto param_get = as<decltype(&audiomix_engine_param_get)>(by_ordinal(module_, 28));
    const auto param_name = as<decltype(&audiomix_engine_param_name)>(by_ordinal(module_, 29));
    const auto preset_count = as<decltype(&audiomix_engine_preset_count)>(by_ordinal(module_, 30));
    const auto preset_name = as<decltype(&audiomix_engine_preset_name)>(by_ordinal(module_, 31));
    const auto preset_apply = as<decltype(&audiomix_engine_preset_apply)>(by_ordinal(module_, 32));
    const auto reset = as<decltype(&audiomix_engine_reset)>(by_ordinal(module_, 33));
    const auto default_param_name = as<decltype(&audiomix_param_name)>(by_ordinal(module_, 19));
    ASSERT_TRUE(create && destroy && process && process_float && param_set && param_get && param_name &&
                preset_count && preset_name && preset_apply && reset && default_param_name);

    EXPECT_EQ(create(44100, 3), nullptr);
    audiomix_engine* a = create(44100, 2);
    audiomix_engine* b = create(44100, 2);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);

    double value = 0;
    EXPECT_EQ(param_set(a, "comp.ratio", 7), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(param_get(a, "comp.ratio", &value), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(value, 7.0);
    EXPECT_EQ(param_get(b, "comp.ratio", &value), AUDIOMIX_PARAM_OK);
    EXPECT_NE(value, 7.0) << "engines keep settings of their own";
    char name[32] = {}, defaultName[32] = {};
    EXPECT_GT(param_name(a, 0, name, sizeof name), 3);
    default_param_name(0, defaultName, sizeof defaultName);
    EXPECT_STREQ(name, defaultName);

    EXPECT_GE(preset_count(a), 8);
    char preset[64] = {};
    EXPECT_EQ(preset_name(a, 0, preset, sizeof preset), 20);  // "10频段缺省模式" in UTF-8
    EXPECT_STREQ(preset, "10\xE9\xA2\x91\xE6\xAE\xB5\xE7\xBC\xBA\xE7\x9C\x81\xE6\xA8\xA1\xE5\xBC\x8F");
    EXPECT_EQ(preset_apply(a, 2), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(param_get(a, "eq.band.0", &value), AUDIOMIX_PARAM_OK);
    EXPECT_EQ(value, 8.0);

    // Reverb alone: an impulse leaves a tail in the ring; the reset clears
    // it, so silence after it stays silent.
    for (audiomix_engine* e : {a, b}) {
        ASSERT_EQ(param_set(e, "eq.on", 0), AUDIOMIX_PARAM_OK);
        ASSERT_EQ(param_set(e, "comp.on", 0), AUDIOMIX_PARAM_OK);
        ASSERT_EQ(param_set(e, "reverb.on", 1), AUDIOMIX_PARAM_OK);
        std::vector<int16_t> impulse(2 * 256, 0);
        impulse[0] = impulse[1] = 20000;
        EXPECT_EQ(process(e, impulse.data(), 256), 256);
    }
    reset(b);
    std::vector<int16_t> tailA(2 * 8192, 0), tailB(2 * 8192, 0);
    EXPECT_EQ(process(a, tailA.data(), 8192), 8192);
    EXPECT_EQ(process(b, tailB.data(), 8192), 8192);
    EXPECT_NE(std::count(tailA.begin(), tailA.end(), int16_t{0}), static_cast<long>(tailA.size()));
    EXPECT_EQ(std::count(tailB.begin(), tailB.end(), int16_t{0}), static_cast<long>(tailB.size()));

    // The float path is the 16-bit path: same engine state, same samples.
    audiomix_engine* c = create(44100, 2);
    audiomix_engine* d = create(44100, 2);
    ASSERT_NE(c, nullptr);
    ASSERT_NE(d, nullptr);
    std::vector<int16_t> interleaved(2 * 64);
    std::vector<float> left(64), right(64);
    for (int i = 0; i < 64; ++i) {
        interleaved[2 * i] = static_cast<int16_t>(i * 300 - 9000);
        interleaved[2 * i + 1] = static_cast<int16_t>(7000 - i * 211);
        left[i] = interleaved[2 * i] / 32768.0f;
        right[i] = interleaved[2 * i + 1] / 32768.0f;
    }
    const float* in[2] = {left.data(), right.data()};
    float* out[2] = {left.data(), right.data()};
    EXPECT_EQ(process(c, interleaved.data(), 64), 64);
    EXPECT_EQ(process_float(d, in, out, 64), 64);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(left[i], interleaved[2 * i] / 32768.0f) << i;
        EXPECT_EQ(right[i], interleaved[2 * i + 1] / 32768.0f) << i;
    }

    for (audiomix_engine* e : {a, b, c, d}) destroy(e);
}

}  // namespace
