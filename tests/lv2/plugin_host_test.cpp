// The plugins in a host of our own on lilv, as DAWs load them: two instances
// in one process with different settings run interleaved, with block sizes
// from 1 to 4096 and control changes between blocks, and each must give
// exactly what it gives alone with the same blocks and changes; preset
// states as hosts restore them; and what hosts may do wrong: ports
// left unconnected, empty blocks, impossible rates. (Control values out of
// range are the port logic's unit tests'; lv2apply against audiomix-render
// shows the outputs are the library's samples.)
#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr const char kStereo[] = "urn:audiomix:stereo";
constexpr const char kMono[] = "urn:audiomix:mono";

// The world with our bundle, loaded once for the process.
LilvWorld* world() {
    static LilvWorld* const w = [] {
        LilvWorld* created = lilv_world_new();
        LilvNode* bundle = lilv_new_file_uri(created, nullptr, AUDIOMIX_LV2_BUNDLE "/");
        lilv_world_load_bundle(created, bundle);
        lilv_node_free(bundle);
        return created;
    }();
    return w;
}

const LilvPlugin* find_plugin(const char* uri) {
    LilvNode* node = lilv_new_uri(world(), uri);
    const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world()), node);
    lilv_node_free(node);
    return p;
}

using Planar = std::vector<std::vector<float>>;
using Setting = std::map<std::string, float>;

// One instance: control ports connected to values it holds (the defaults to
// begin with), audio ports to the caller's arrays.
class Instance {
public:
    Instance(const char* uri, double rate, int channels) : channels_(channels) {
        plugin_ = find_plugin(uri);
        instance_ = plugin_ != nullptr ? lilv_plugin_instantiate(plugin_, rate, nullptr) : nullptr;
        if (instance_ == nullptr) return;
        const uint32_t ports = lilv_plugin_get_num_ports(plugin_);
        controls_.assign(ports, 0.0f);
        lilv_plugin_get_port_ranges_float(plugin_, nullptr, nullptr, controls_.data());
        for (uint32_t i = static_cast<uint32_t>(2 * channels); i < ports; ++i) connect(i, &controls_[i]);
        lilv_instance_activate(instance_);
    }
    ~Instance() {
        if (instance_ == nullptr) return;
        lilv_instance_deactivate(instance_);
        lilv_instance_free(instance_);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool ok() const { return instance_ != nullptr; }
    void set(const std::string& symbol, float value) { controls_[index(symbol)] = value; }
    void connect(uint32_t port, void* data) { lilv_instance_connect_port(instance_, port, data); }
    void run_raw(uint32_t frames) { lilv_instance_run(instance_, frames); }

    // Processes frames of the planar input from offset on into out at the same offset.
    void run(const Planar& input, Planar& out, size_t offset, uint32_t frames) {
        for (int c = 0; c < channels_; ++c) {
            connect(static_cast<uint32_t>(c), const_cast<float*>(input[c].data()) + offset);
            connect(static_cast<uint32_t>(channels_ + c), out[c].data() + offset);
        }
        run_raw(frames);
    }

    uint32_t index(const std::string& symbol) const {
        LilvNode* node = lilv_new_string(world(), symbol.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin_, node);
        lilv_node_free(node);
        EXPECT_NE(port, nullptr) << symbol;
        return port != nullptr ? lilv_port_get_index(plugin_, port) : 0;
    }

private:
    int channels_;
    const LilvPlugin* plugin_ = nullptr;
    LilvInstance* instance_ = nullptr;
    std::vector<float> controls_;
};

// Planar test signal: noise on the 16-bit grid.
Planar signal(int channels, size_t frames, uint32_t seed) {
    std::mt19937 rng(seed);
    Planar s(channels, std::vector<float>(frames));
    for (auto& channel : s)
        for (float& v : channel) v = static_cast<float>(static_cast<int>(rng() % 24001) - 12000) / 32768.0f;
    return s;
}

// A session: blocks of random size, and before some of them a control change.
struct Block {
    uint32_t frames;
    std::string symbol;  // empty: no change
    float value;
};

std::vector<Block> session(uint32_t seed, size_t totalFrames) {
    std::mt19937 rng(seed);
    const std::vector<std::pair<std::string, std::vector<float>>> choices = {
        {"eq_on", {0, 1}},
        {"reverb_on", {0, 1}},
        {"comp_on", {0, 1}},
        {"order_reverb_first", {0, 1}},
        {"reverb_taps", {5, 40, 100}},
        {"reverb_wet_db", {-20, -4}},
        {"comp_threshold_db", {-40, -10}},
        {"eq_bands", {10, 15, 31}},
        {"eq_band_2", {-12, 0, 15}},
        {"eq_band_27", {6, -6}},
        {"eq_pregain", {-6, 0, 3.5f}},
        {"eq_second_pass", {0, 1}},
    };
    std::vector<Block> blocks;
    for (size_t done = 0; done < totalFrames; done += blocks.back().frames) {
        const uint32_t r = rng() % 4;
        const uint32_t frames = r == 0 ? 1 + rng() % 8 : r == 1 ? 1 + rng() % 4096 : 1 + rng() % 700;
        blocks.push_back({static_cast<uint32_t>(std::min<size_t>(frames, totalFrames - done)), "", 0});
        if (rng() % 5 == 0) {
            const auto& [symbol, values] = choices[rng() % choices.size()];
            blocks.back().symbol = symbol;
            blocks.back().value = values[rng() % values.size()];
        }
    }
    return blocks;
}

struct Job {
    Setting setting;
    std::vector<Block> blocks;
};

// Runs one instance per job over the same input, a block of each in turn,
// and returns what each wrote.
std::vector<Planar> run_together(const char* uri, int channels, const std::vector<Job>& jobs, const Planar& input) {
    std::vector<std::unique_ptr<Instance>> instances;
    std::vector<Planar> out(jobs.size(), Planar(channels, std::vector<float>(input[0].size())));
    std::vector<size_t> offsets(jobs.size(), 0);
    for (const Job& job : jobs) {
        instances.push_back(std::make_unique<Instance>(uri, 44100, channels));
        for (const auto& [symbol, v] : job.setting) instances.back()->set(symbol, v);
    }
    for (size_t b = 0, ran = 1; ran != 0; ++b) {
        ran = 0;
        for (size_t j = 0; j < jobs.size(); ++j) {
            if (b >= jobs[j].blocks.size()) continue;
            const Block& block = jobs[j].blocks[b];
            if (!block.symbol.empty()) instances[j]->set(block.symbol, block.value);
            instances[j]->run(input, out[j], offsets[j], block.frames);
            offsets[j] += block.frames;
            ++ran;
        }
    }
    return out;
}

TEST(PluginHost, BothPluginsLoadAndRefuseImpossibleRates) {
    for (const char* uri : {kStereo, kMono}) {
        ASSERT_NE(find_plugin(uri), nullptr) << uri;
        for (double rate : {0.0, -44100.0, std::nan(""), 1e300}) EXPECT_FALSE(Instance(uri, rate, 2).ok()) << rate;
        EXPECT_TRUE(Instance(uri, 44100, uri == kStereo ? 2 : 1).ok());
    }
}

// A URID map, as hosts give plugins and lilv's state functions.
LV2_URID map_uri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& uris = *static_cast<std::vector<std::string>*>(handle);
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

// The built-in equaliser presets, as a host restores them: every one sets
// the band count and all 31 band ports, the others untouched.
TEST(PluginHost, PresetsRestoreTheirBandCountAndGains) {
    std::vector<std::string> uris;
    LV2_URID_Map map{&uris, &map_uri};
    const std::map<std::string, std::map<std::string, float>> expected = {
        {"urn:audiomix:stereo:preset:5", {{"eq_bands", 10}, {"eq_band_0", 8}, {"eq_band_2", -6}, {"eq_band_9", 10}}},
        {"urn:audiomix:stereo:preset:3", {{"eq_bands", 31}, {"eq_band_0", 0}, {"eq_band_30", 0}}},
    };
    for (const auto& [uri, values] : expected) {
        LilvNode* preset = lilv_new_uri(world(), uri.c_str());
        lilv_world_load_resource(world(), preset);
        LilvState* state = lilv_state_new_from_world(world(), &map, preset);
        lilv_node_free(preset);
        ASSERT_NE(state, nullptr) << uri;
        std::map<std::string, float> restored;
        lilv_state_emit_port_values(
            state,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
                if (size == sizeof(float))
                    (*static_cast<std::map<std::string, float>*>(data))[symbol] = *static_cast<const float*>(value);
            },
            &restored);
        EXPECT_EQ(restored.size(), 32u) << uri;  // eq_bands and 31 bands
        for (const auto& [symbol, v] : values) EXPECT_EQ(restored[symbol], v) << uri << " " << symbol;
        lilv_state_free(state);
    }
}

TEST(PluginHost, TwoInstancesInterleavedGiveWhatEachGivesAlone) {
    constexpr size_t kFrames = 44100 * 3;
    const Planar input = signal(2, kFrames, 1);
    const Job a{{{"eq_on", 1}, {"reverb_on", 1}, {"comp_on", 1}}, session(2, kFrames)};
    const Job b{{{"eq_on", 1}, {"eq_bands", 25}, {"eq_band_5", 12}, {"reverb_on", 1}, {"reverb_comb_m", 35}},
                session(3, kFrames)};
    const Planar alone_a = run_together(kStereo, 2, {a}, input)[0];
    const Planar alone_b = run_together(kStereo, 2, {b}, input)[0];
    ASSERT_NE(alone_a, alone_b);  // the settings really differ
    ASSERT_NE(alone_a, input);    // and really act
    const std::vector<Planar> together = run_together(kStereo, 2, {a, b}, input);
    EXPECT_TRUE(together[0] == alone_a);
    EXPECT_TRUE(together[1] == alone_b);
}

TEST(PluginHost, UnconnectedPortsAndEmptyBlocksAreHarmless) {
    Instance p(kStereo, 48000, 2);
    ASSERT_TRUE(p.ok());
    p.set("eq_on", 1);
    p.set("reverb_on", 1);
    p.run_raw(0);    // audio ports not connected yet
    p.run_raw(512);  // still none: nothing read, nothing written
    std::vector<float> left(512, 0.25f), out(512, 9.0f);
    p.connect(0, left.data());  // right input left unconnected: silence
    p.connect(2, out.data());   // right output unconnected: not written
    p.run_raw(512);
    for (float v : out) ASSERT_LT(std::fabs(v), 1.0f);
    for (uint32_t port = 4; port < 4 + 48; ++port) p.connect(port, nullptr);  // controls too
    p.run_raw(512);
    p.run_raw(0);
}

}  // namespace
