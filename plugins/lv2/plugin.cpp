// The LV2 plugins: the engine's chain on a stream of the host's, stereo or
// mono. Each instance owns its settings and signal state and is driven from
// the host's one processing thread, so it needs no engine lock: run applies
// the changed controls through the engine's rules, then processes, without
// allocating or locking. Latency 0.
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "dsp/chain.h"
#include "model/settings.h"
#include "model/stream_rules.h"
#include "plugins/lv2/controls.h"
#include "plugins/lv2/ports.h"

namespace audiomix::lv2 {
namespace {

// A new stream's settings, as an engine for hosts starts with them.
Settings created_settings(int32_t rate, int32_t channels) {
    Settings settings;
    settings_load_state(settings);
    stream_create(settings, rate, channels);
    return settings;
}

struct Instance {
    Instance(int32_t rate, int32_t channelCount)
        : channels(channelCount), settings(created_settings(rate, channelCount)) {
        chain_signal_load_state(signal);
    }

    int32_t channels;
    Settings settings;
    ChainSignal signal;
    Controls controls{settings};
    const float* in[kMaxChannels] = {};
    float* out[kMaxChannels] = {};
    const float* ports[kControlPorts] = {};
};

// The host's rate as a whole number of hertz, or 0 for one the engine cannot
// take.
int32_t whole_rate(double rate) {
    if (!(rate >= 1.0 && rate <= 2147483647.0)) return 0;
    return static_cast<int32_t>(std::lround(rate));
}

template <int32_t kChannels>
LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
    const int32_t hz = whole_rate(rate);
    if (hz == 0) return nullptr;
    return new (std::nothrow) Instance(hz, kChannels);
}

void connect_port(LV2_Handle handle, uint32_t port, void* data) {
    Instance& s = *static_cast<Instance*>(handle);
    const uint32_t channels = static_cast<uint32_t>(s.channels);
    if (port < channels) {
        s.in[port] = static_cast<const float*>(data);
    } else if (port < 2 * channels) {
        s.out[port - channels] = static_cast<float*>(data);
    } else if (port < 2 * channels + kControlPorts) {
        s.ports[port - 2 * channels] = static_cast<const float*>(data);
    }
}

// The signal starts afresh; the settings stay. The reset requests the
// settings carry are performed again with the first buffer.
void activate(LV2_Handle handle) { chain_signal_load_state(static_cast<Instance*>(handle)->signal); }

void run(LV2_Handle handle, uint32_t frames) {
    Instance& s = *static_cast<Instance*>(handle);
    s.controls.apply(s.settings, s.ports);
    // Blocks larger than a host would ever use are taken in pieces that the
    // engine's frame count holds.
    for (uint32_t done = 0; done < frames;) {
        const uint32_t left = frames - done;
        const int32_t piece = left > 1u << 30 ? 1 << 30 : static_cast<int32_t>(left);
        const float* in[kMaxChannels] = {};
        float* out[kMaxChannels] = {};
        for (int32_t c = 0; c < s.channels; ++c) {
            in[c] = s.in[c] != nullptr ? s.in[c] + done : nullptr;
            out[c] = s.out[c] != nullptr ? s.out[c] + done : nullptr;
        }
        chain_process_planar(s.settings.chain, s.signal, in, out, piece);
        done += static_cast<uint32_t>(piece);
    }
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle handle) { delete static_cast<Instance*>(handle); }

const void* extension_data(const char*) { return nullptr; }

const LV2_Descriptor kDescriptors[] = {
    {kStereo.uri, &instantiate<2>, &connect_port, &activate, &run, &deactivate, &cleanup, &extension_data},
    {kMono.uri, &instantiate<1>, &connect_port, &activate, &run, &deactivate, &cleanup, &extension_data},
};

}  // namespace
}  // namespace audiomix::lv2

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < 2 ? &audiomix::lv2::kDescriptors[index] : nullptr;
}
