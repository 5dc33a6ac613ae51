// One stream of the library through its public interface: an engine of its
// own (as after begin and init for the default engine), so that several
// files can render at once, each on its own thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <audiomix.h>

#include "effects.h"

namespace audiomix_render {

// Frames per process call: a typical host buffer.
constexpr size_t kBufferFrames = 1024;

class EngineSession {
public:
    // An engine for the format; ok() is false for one the library refuses.
    EngineSession(int32_t rate, int channels);
    ~EngineSession();
    bool ok() const { return engine_ != nullptr; }
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // AUDIOMIX_PARAM_OK, _UNKNOWN or _OUT_OF_RANGE.
    int32_t set(const std::string& name, double value);
    std::optional<double> get(const std::string& name) const;

    // Every parameter name the library lists now (the band names follow
    // eq.bands), with its value.
    ParamValues values() const;

    // In place; frames at most kBufferFrames.
    void process(int16_t* interleaved, size_t frames);

    // The equaliser presets of the current band count, in the library's
    // order; names in UTF-8.
    std::vector<std::string> preset_names() const;
    bool apply_preset(int index);

    int channels() const { return channels_; }

    // The parameter names the library lists now, in its order.
    std::vector<std::string> param_names() const;

private:
    audiomix_engine* engine_;
    int channels_;
};

}  // namespace audiomix_render
