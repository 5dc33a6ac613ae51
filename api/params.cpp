// The host parameter interface and the equaliser presets of the default
// engine: the model's parameter table and preset rules under the engine's
// lock.
#include <cstring>
#include <string>

#include "audiomix.h"
#include "api/default_engine.h"
#include "api/preset_access.h"
#include "model/parameters.h"
#include "model/eq_rules.h"
#include "model/preset_store.h"

using namespace audiomix;

static_assert(kParamOk == AUDIOMIX_PARAM_OK && kParamUnknown == AUDIOMIX_PARAM_UNKNOWN &&
                  kParamOutOfRange == AUDIOMIX_PARAM_OUT_OF_RANGE,
              "one set of result codes");

extern "C" {

int32_t AUDIOMIX_CALL audiomix_param_set(const char* name, double value) {
    return param_set(*default_engine().edit(), name, value);
}

int32_t AUDIOMIX_CALL audiomix_param_get(const char* name, double* value) {
    return param_get(*default_engine().view(), name, value);
}

int32_t AUDIOMIX_CALL audiomix_param_name(int32_t index, char* buffer, int32_t size) {
    const int32_t length = param_name(*default_engine().view(), index, buffer,
                                      buffer != nullptr && size > 0 ? static_cast<size_t>(size) : 0);
    return length < 0 ? AUDIOMIX_PARAM_UNKNOWN : length;
}

// Presets: item index of the preset box for the current band count. The
// default engine's lock covers the table as well as the band count.

int32_t AUDIOMIX_CALL audiomix_preset_count(void) {
    const auto s = default_engine().view();
    return preset_count_for(default_presets(), s->eqBandCount);
}

int32_t AUDIOMIX_CALL audiomix_preset_name(int32_t index, char* buffer, int32_t size) {
    PresetRecord record{};
    int32_t found = -1;
    {
        // A copy: the conversion that follows need not hold the engine.
        const auto s = default_engine().view();
        const PresetTable& table = default_presets();
        found = preset_find_nth(table, s->eqBandCount, index);
        if (found >= 0) record = table.records[found];
    }
    return preset_name_utf8(found < 0 ? nullptr : &record, buffer, size);
}

int32_t AUDIOMIX_CALL audiomix_preset_apply(int32_t index) {
    auto s = default_engine().edit();
    const PresetTable& table = default_presets();
    const int32_t record = preset_find_nth(table, s->eqBandCount, index);
    if (record < 0) return AUDIOMIX_PARAM_UNKNOWN;
    eq_choose_preset(*s, table.records[record]);
    return AUDIOMIX_PARAM_OK;
}

}  // extern "C"
