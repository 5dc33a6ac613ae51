// The host session of host_session.h with a fixed seed, recorded to OUTPUT.
// Run natively (linked to libaudiomix.so) and under wine (audiomix.dll loaded
// with LoadLibraryW and bound by ordinal, as a host binds it), the recordings
// must be identical byte for byte.
//
//   host_session OUTPUT
#include "host_session.h"

int main(int argc, char** argv) {
    Api api;
    Recording out;
    if (argc != 2 || !load_api(api) || !out.open(argv[1])) {
        std::fprintf(stderr, "usage: host_session OUTPUT (a file it can write; audiomix.dll beside it on Windows)\n");
        return 2;
    }
    Session session(api, out);
    session.run(600);
    if (!out.close()) {
        std::fprintf(stderr, "host_session: writing %s failed\n", argv[1]);
        return 1;
    }
    std::printf("host_session: %llu buffers changed by the library, %llu results other than documented\n",
                static_cast<unsigned long long>(session.changed), static_cast<unsigned long long>(session.broken));
    // Identical recordings prove nothing if the library never touched the
    // audio (with every setting refused, no stage would be on).
    return session.changed == 0 || session.broken != 0 ? 3 : 0;
}
