// Engines for hosts: the public handle is an Engine of the model, created in
// the state a freshly loaded default engine reaches after audiomix_begin and
// audiomix_init(rate, channels, 0).
#include <new>

#include "audiomix.h"
#include "api/lifecycle.h"
#include "api/preset_access.h"
#include "model/engine.h"
#include "model/eq_rules.h"
#include "model/parameters.h"
#include "model/preset_store.h"
#include "model/stream_rules.h"

struct audiomix_engine {
    audiomix::Engine engine;
};

using namespace audiomix;

namespace {

// The built-in presets and the user's file beside the library, read on first
// use (thread-safe initialisation) and never changed afterwards, so engines
// read it without a lock.
const PresetTable& shared_presets() {
    static const PresetTable* const table = [] {
        PresetTable* loaded = new (std::nothrow) PresetTable;
        if (loaded == nullptr) return static_cast<const PresetTable*>(nullptr);
        char path[256];
        library_preset_path(path, sizeof path);
        LoadPresets(*loaded, path);
        return static_cast<const PresetTable*>(loaded);
    }();
    static const PresetTable empty{};
    return table != nullptr ? *table : empty;
}

}  // namespace

extern "C" {

audiomix_engine* AUDIOMIX_CALL audiomix_engine_create(int32_t sampleRate, int32_t channels) {
    if (sampleRate <= 0 || channels < 1 || channels > 2) return nullptr;
    audiomix_engine* handle = new (std::nothrow) audiomix_engine;
    if (handle == nullptr) return nullptr;
    stream_create(*handle->engine.edit(), sampleRate, channels);
    return handle;
}

void AUDIOMIX_CALL audiomix_engine_destroy(audiomix_engine* handle) { delete handle; }

int32_t AUDIOMIX_CALL audiomix_engine_process(audiomix_engine* handle, int16_t* samples, int32_t frames) {
    return handle != nullptr ? handle->engine.process_frames(samples, frames) : 0;
}

int32_t AUDIOMIX_CALL audiomix_engine_process_float(audiomix_engine* handle, const float* const* in, float* const* out,
                                                    int32_t frames) {
    return handle != nullptr ? handle->engine.process_planar(in, out, frames) : 0;
}

int32_t AUDIOMIX_CALL audiomix_engine_param_set(audiomix_engine* handle, const char* name, double value) {
    return handle != nullptr ? param_set(*handle->engine.edit(), name, value) : AUDIOMIX_PARAM_UNKNOWN;
}

int32_t AUDIOMIX_CALL audiomix_engine_param_get(audiomix_engine* handle, const char* name, double* value) {
    return handle != nullptr ? param_get(*handle->engine.view(), name, value) : AUDIOMIX_PARAM_UNKNOWN;
}

int32_t AUDIOMIX_CALL audiomix_engine_param_name(audiomix_engine* handle, int32_t index, char* buffer, int32_t size) {
    if (handle == nullptr) return AUDIOMIX_PARAM_UNKNOWN;
    const int32_t length = param_name(*handle->engine.view(), index, buffer,
                                      buffer != nullptr && size > 0 ? static_cast<size_t>(size) : 0);
    return length < 0 ? AUDIOMIX_PARAM_UNKNOWN : length;
}

int32_t AUDIOMIX_CALL audiomix_engine_preset_count(audiomix_engine* handle) {
    if (handle == nullptr) return 0;
    return preset_count_for(shared_presets(), handle->engine.view()->eqBandCount);
}

int32_t AUDIOMIX_CALL audiomix_engine_preset_name(audiomix_engine* handle, int32_t index, char* buffer, int32_t size) {
    const PresetTable& table = shared_presets();
    const int32_t record = handle != nullptr ? preset_find_nth(table, handle->engine.view()->eqBandCount, index) : -1;
    return preset_name_utf8(record < 0 ? nullptr : &table.records[record], buffer, size);
}

int32_t AUDIOMIX_CALL audiomix_engine_preset_apply(audiomix_engine* handle, int32_t index) {
    if (handle == nullptr) return AUDIOMIX_PARAM_UNKNOWN;
    const PresetTable& table = shared_presets();
    auto s = handle->engine.edit();
    const int32_t record = preset_find_nth(table, s->eqBandCount, index);
    if (record < 0) return AUDIOMIX_PARAM_UNKNOWN;
    eq_choose_preset(*s, table.records[record]);
    return AUDIOMIX_PARAM_OK;
}

void AUDIOMIX_CALL audiomix_engine_reset(audiomix_engine* handle) {
    if (handle != nullptr) stream_data_refresh(*handle->engine.edit());
}

}  // extern "C"
