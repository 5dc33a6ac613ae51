#include "model/builtin_presets.h"

#include <cstring>

#include "model/gbk.h"
#include "model/preset_store.h"

namespace audiomix {

const BuiltinPreset kBuiltinPresets[11] = {
    {"10频段缺省模式", 10, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"15频段缺省模式", 15, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"25频段缺省模式", 25, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"31频段缺省模式", 31, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    {"Normal自然模式", 10, {0, 8, 8, 8, 8, 6, 6, 2, 2, 4}},
    {"Rock摇滚模式", 10, {8, 6, -6, 8, -2, 4, 8, 10, 10, 10}},
    {"POP流行模式", 10, {-2, 4, 6, 8, 6, -2, -4, -2, -2, -2}},
    {"重金属模式", 10, {-10, -10, -10, -4, -4, 12, 16, 16, 16, 16}},
    {"超低音模式", 10, {10, 10, 10, 6, 4, 0, -6, -10, -10, -10}},
    {"重金属超低音模式", 10, {8, 8, 0, -8, -6, 0, 8, 12, 14, 14}},
    {"SoftRock柔和模式", 10, {4, 4, 0, -2, -4, -6, -4, 0, 4, 10}},
};

void builtin_presets_fill(PresetRecord* out) {
    for (const BuiltinPreset& preset : kBuiltinPresets) {
        PresetRecord& r = *out++;
        std::memset(&r, 0, sizeof r);
        const char* name = preset.name;  // UTF-8 source text
        utf8_to_gbk(name, std::strlen(name), r.name, sizeof r.name);
        r.bandCount = preset.bandCount;
        for (int b = 0; b < 10; ++b) r.gainDb[b] = preset.gains[b];
        r.builtIn = 1;
    }
}

}  // namespace audiomix
