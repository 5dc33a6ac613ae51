// The library driven through its public exports only, in the order a host
// uses them: begin, set_mainwnd, init, parameters, change per buffer, close.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "effects.h"

namespace audiomix_render {

// Frames per audiomix_change call: a typical host buffer, well inside the
// library's 4100-frame limit.
constexpr size_t kBufferFrames = 1024;

class EngineSession {
public:
    EngineSession(int32_t rate, int channels);  // begin, set_mainwnd, init
    ~EngineSession();                           // close
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

    int channels() const { return channels_; }

private:
    int channels_;
};

// The parameter names the library lists, in its order.
std::vector<std::string> param_names();

}  // namespace audiomix_render
