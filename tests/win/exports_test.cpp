// audiomix.dll as a host binds it: every export reachable by name and by its
// ordinal, both giving the same entry point, one entry point per export. The
// host session (tests/equivalence) calls them all through their ordinals and
// must record what the native library records; that nothing else is exported
// is the export table check's (exports/check_exports.sh).
#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <set>
#include <string>

#include "export_table.h"

namespace {

struct Export {
    int ordinal;
    const char* name;
};

#define AUDIOMIX_ENTRY(ordinal, name) {ordinal, "audiomix_" #name},
constexpr Export kExports[] = {AUDIOMIX_EXPORTS(AUDIOMIX_ENTRY)};
#undef AUDIOMIX_ENTRY

TEST(DllExports, EachFunctionHasOneEntryPointByNameAndByOrdinal) {
    wchar_t path[MAX_PATH];
    const std::wstring exe(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    const HMODULE module = LoadLibraryW((exe.substr(0, exe.find_last_of(L'\\') + 1) + L"audiomix.dll").c_str());
    ASSERT_NE(module, nullptr) << "LoadLibraryW failed, error " << GetLastError();
    std::set<FARPROC> entries;
    for (const Export& e : kExports) {
        const FARPROC named = GetProcAddress(module, e.name);
        EXPECT_NE(named, nullptr) << e.name;
        EXPECT_EQ(named, GetProcAddress(module, MAKEINTRESOURCEA(e.ordinal))) << e.name;
        EXPECT_TRUE(entries.insert(named).second) << e.name << " shares its entry point";
    }
    FreeLibrary(module);
}

}  // namespace
