// audiomix-resgen OUTDIR: draws the library's bitmaps and icons into OUTDIR,
// then writes OUTDIR/art.list (the files, one per line) as the build's stamp.
// Files whose bytes did not change are left alone.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "resources/generator/catalogue.h"

namespace {

bool same_content(const std::string& path, const artgen::Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    artgen::Bytes old(bytes.size() + 1);
    const size_t n = std::fread(old.data(), 1, old.size(), f);
    std::fclose(f);
    return n == bytes.size() && std::equal(bytes.begin(), bytes.end(), old.begin());
}

bool write_file(const std::string& path, const artgen::Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    try {
        std::string list;
        for (const artgen::ArtFile& file : artgen::all_art()) {
            const std::string path = dir + "/" + file.name;
            if (!same_content(path, file.bytes) && !write_file(path, file.bytes)) {
                std::fprintf(stderr, "audiomix-resgen: cannot write %s\n", path.c_str());
                return 1;
            }
            list += file.name + "\n";
        }
        if (!write_file(dir + "/art.list", artgen::Bytes(list.begin(), list.end()))) {
            std::fprintf(stderr, "audiomix-resgen: cannot write %s/art.list\n", dir.c_str());
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "audiomix-resgen: %s\n", e.what());
        return 1;
    }
    return 0;
}
