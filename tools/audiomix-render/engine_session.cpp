#include "engine_session.h"

namespace audiomix_render {

namespace {

// A name the library writes into a buffer, whatever its length: length()
// asks for the full length, fill(buffer, size) writes it.
template <class Length, class Fill>
std::string library_string(Length length, Fill fill) {
    const int32_t n = length();
    if (n < 0) return {};
    std::string text(static_cast<size_t>(n) + 1, '\0');
    fill(text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

}  // namespace

EngineSession::EngineSession(int32_t rate, int channels)
    : engine_(audiomix_engine_create(rate, channels)), channels_(channels) {}

EngineSession::~EngineSession() { audiomix_engine_destroy(engine_); }

int32_t EngineSession::set(const std::string& name, double value) {
    return audiomix_engine_param_set(engine_, name.c_str(), value);
}

std::optional<double> EngineSession::get(const std::string& name) const {
    double v = 0.0;
    if (audiomix_engine_param_get(engine_, name.c_str(), &v) != AUDIOMIX_PARAM_OK) return std::nullopt;
    return v;
}

ParamValues EngineSession::values() const {
    ParamValues out;
    for (const std::string& name : param_names())
        if (auto v = get(name)) out.emplace_back(name, *v);
    return out;
}

void EngineSession::process(int16_t* interleaved, size_t frames) {
    audiomix_engine_process(engine_, interleaved, static_cast<int32_t>(frames));
}

std::vector<std::string> EngineSession::preset_names() const {
    std::vector<std::string> names;
    const int32_t count = audiomix_engine_preset_count(engine_);
    for (int32_t i = 0; i < count; ++i) {
        names.push_back(library_string([&] { return audiomix_engine_preset_name(engine_, i, nullptr, 0); },
                                       [&](char* b, int32_t n) { audiomix_engine_preset_name(engine_, i, b, n); }));
    }
    return names;
}

bool EngineSession::apply_preset(int index) {
    return audiomix_engine_preset_apply(engine_, index) == AUDIOMIX_PARAM_OK;
}

std::vector<std::string> EngineSession::param_names() const {
    std::vector<std::string> names;
    for (int32_t i = 0; i < 1000; ++i) {  // bound against a misbehaving library
        char probe[1];
        const int32_t length = audiomix_engine_param_name(engine_, i, probe, sizeof probe);
        // Every name is longer than 3 characters, so 3 means "no such index".
        if (length == AUDIOMIX_PARAM_UNKNOWN || length < 0) break;
        names.push_back(library_string([&] { return length; },
                                       [&](char* b, int32_t n) { audiomix_engine_param_name(engine_, i, b, n); }));
    }
    return names;
}

}  // namespace audiomix_render
