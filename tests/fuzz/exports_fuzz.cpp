// The host session of tests/equivalence/host_session.h with every decision
// taken from the fuzzer's bytes: whatever a host passes in whatever order
// (formats, settings and values no range holds, buffers of any length or
// none, presets, engines refused and run), nothing may crash, corrupt memory
// or return other than documented.
#include "host_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Api api;
    static const bool loaded = load_api(api);
    Recording none;
    Session session(api, none, data, size);
    session.run(64);
    if (!loaded || session.broken != 0) __builtin_trap();
    return 0;
}
