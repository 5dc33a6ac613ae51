#include "api/preset_access.h"

#include <cstring>
#include <string>

#include "model/gbk.h"
#include "model/preset_store.h"

namespace audiomix {

int32_t preset_name_utf8(const PresetRecord* record, char* buffer, int32_t size) {
    const bool writable = buffer != nullptr && size > 0;
    if (writable) buffer[0] = '\0';
    if (record == nullptr) return -1;
    std::string name;
    try {
        name = gbk_to_utf8(record->name, std::strlen(record->name));  // at most 189 bytes
    } catch (...) {                                                   // out of memory: nothing may throw into the host
        return -1;
    }
    if (writable) {
        const size_t n = utf8_fit(name.data(), name.size(), static_cast<size_t>(size) - 1);
        std::memcpy(buffer, name.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(name.size());
}

}  // namespace audiomix
