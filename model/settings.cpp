#include "model/settings.h"

#include <type_traits>

namespace audiomix {

static_assert(std::is_trivially_copyable<Settings>::value, "settings are plain data: they are copied whole");

void settings_load_state(Settings& settings) {
    settings = Settings{};  // every value zero, the random source at its start
    settings.chain.sampleRate = -1;
    settings.chain.channelCount = 2;
    settings.reportedRate = 1;
    settings.reportedChannels = 0;
    settings.link.skinColour = 0x00804004;  // RGB(4, 64, 128)
}

}  // namespace audiomix
