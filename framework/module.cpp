#include "framework/module.h"

namespace audiomix {

namespace {
HINSTANCE g_instance = nullptr;

HINSTANCE module_of_this_code() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&module_of_this_code), &module);
    return module;
}
}  // namespace

HINSTANCE library_instance() {
    if (g_instance == nullptr) g_instance = module_of_this_code();
    return g_instance;
}

}  // namespace audiomix

// Only records the instance: anything more would run under the loader lock.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) audiomix::g_instance = instance;
    return TRUE;
}
