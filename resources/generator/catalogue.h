// Every picture file the resource script includes, by file name.
#pragma once

#include <string>
#include <vector>

#include "resources/generator/icon_art.h"
#include "resources/generator/image_files.h"
#include "resources/generator/skin_art.h"

namespace artgen {

struct ArtFile {
    int id;  // resource id the script gives it
    std::string name;
    Bytes bytes;
};

inline std::vector<ArtFile> all_art() {
    std::vector<ArtFile> files;
    files.push_back({1031, "skin.bmp", encode_bmp24(skin_bitmap())});
    files.push_back({1013, "title_texture.bmp", encode_bmp4(title_texture())});
    for (NamedBitmap& b : small_bitmaps()) files.push_back({b.id, b.file, encode_bmp24(b.image)});
    for (const NamedIcon& i : icon_catalogue()) files.push_back({i.id, i.file, icon_file(i.glyph)});
    return files;
}

}  // namespace artgen
