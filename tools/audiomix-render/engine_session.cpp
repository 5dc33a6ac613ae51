#include "engine_session.h"

#include <audiomix.h>

namespace audiomix_render {

namespace {
// The control window's base colour; the window is never shown here.
constexpr uint32_t kColour = 0x00804004;
}  // namespace

EngineSession::EngineSession(int32_t rate, int channels) : channels_(channels) {
    audiomix_begin(kColour);
    audiomix_set_mainwnd(nullptr);
    audiomix_init(rate, channels, 0);
}

EngineSession::~EngineSession() { audiomix_close(); }

int32_t EngineSession::set(const std::string& name, double value) {
    return audiomix_param_set(name.c_str(), value);
}

std::optional<double> EngineSession::get(const std::string& name) const {
    double v = 0.0;
    if (audiomix_param_get(name.c_str(), &v) != AUDIOMIX_PARAM_OK) return std::nullopt;
    return v;
}

ParamValues EngineSession::values() const {
    ParamValues out;
    for (const std::string& name : param_names())
        if (auto v = get(name)) out.emplace_back(name, *v);
    return out;
}

void EngineSession::process(int16_t* interleaved, size_t frames) {
    const auto bytes = static_cast<int32_t>(frames * static_cast<size_t>(channels_) * sizeof(int16_t));
    audiomix_change(interleaved, bytes, 0);
}

std::vector<std::string> param_names() {
    std::vector<std::string> names;
    for (int32_t i = 0; i < 1000; ++i) {  // bound against a misbehaving library
        char buffer[64];
        const int32_t length = audiomix_param_name(i, buffer, sizeof buffer);
        // Every name is longer than 3 characters, so 3 means "no such index".
        if (length == AUDIOMIX_PARAM_UNKNOWN || length < 0) break;
        if (length < static_cast<int32_t>(sizeof buffer)) {
            names.emplace_back(buffer);
        } else {
            std::string big(static_cast<size_t>(length) + 1, '\0');
            audiomix_param_name(i, big.data(), length + 1);
            big.resize(static_cast<size_t>(length));
            names.push_back(big);
        }
    }
    return names;
}

}  // namespace audiomix_render
