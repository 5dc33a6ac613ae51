// The plugins in a host of our own on lilv, as DAWs load them: two instances
// in one process with different settings run interleaved, with block sizes
// from 1 to 4096 and control changes between blocks, and each must give
// exactly what it gives alone with the same blocks and changes. Then what
// hosts may do wrong: ports left unconnected, empty blocks, NaN and infinite
// controls, impossible rates.
#include <gtest/gtest.h>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr const char kStereo[] = "urn:audiomix:stereo";
constexpr const char kMono[] = "urn:audiomix:mono";

// The bundle, loaded once for the process.
class Bundle {
public:
    Bundle() : world_(lilv_world_new()) {
        LilvNode* bundle = lilv_new_file_uri(world_, nullptr, AUDIOMIX_LV2_BUNDLE "/");
        lilv_world_load_bundle(world_, bundle);
        lilv_node_free(bundle);
    }
    ~Bundle() { lilv_world_free(world_); }

    const LilvPlugin* plugin(const char* uri) const {
        LilvNode* node = lilv_new_uri(world_, uri);
        const LilvPlugin* p = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world_), node);
        lilv_node_free(node);
        return p;
    }
    LilvWorld* world() const { return world_; }

private:
    LilvWorld* world_;
};

const Bundle& bundle() {
    static const Bundle b;
    return b;
}

// One instance with its port buffers: audio ports connected to its own
// arrays, control ports to values it holds.
class Instance {
public:
    Instance(const char* uri, double rate, int channels) : channels_(channels) {
        plugin_ = bundle().plugin(uri);
        if (plugin_ == nullptr) return;
        instance_ = lilv_plugin_instantiate(plugin_, rate, nullptr);
        if (instance_ == nullptr) return;
        const uint32_t ports = lilv_plugin_get_num_ports(plugin_);
        controls_.assign(ports, 0.0f);
        std::vector<float> mins(ports), maxs(ports), defaults(ports);
        lilv_plugin_get_port_ranges_float(plugin_, mins.data(), maxs.data(), defaults.data());
        for (uint32_t i = static_cast<uint32_t>(2 * channels); i < ports; ++i) {
            controls_[i] = defaults[i];
            lilv_instance_connect_port(instance_, i, &controls_[i]);
        }
        in_.resize(channels);
        out_.resize(channels);
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

    // Processes frames of the planar input starting at offset; returns the
    // output, planar.
    std::vector<std::vector<float>> run(const std::vector<std::vector<float>>& input, size_t offset,
                                        uint32_t frames) {
        std::vector<std::vector<float>> output(channels_, std::vector<float>(frames));
        for (int c = 0; c < channels_; ++c) {
            in_[c].assign(input[c].begin() + static_cast<long>(offset),
                          input[c].begin() + static_cast<long>(offset + frames));
            lilv_instance_connect_port(instance_, c, in_[c].data());
            lilv_instance_connect_port(instance_, channels_ + c, output[c].data());
        }
        lilv_instance_run(instance_, frames);
        return output;
    }

    void connect(uint32_t port, void* data) { lilv_instance_connect_port(instance_, port, data); }
    void run_raw(uint32_t frames) { lilv_instance_run(instance_, frames); }

    uint32_t index(const std::string& symbol) const {
        LilvNode* node = lilv_new_string(bundle().world(), symbol.c_str());
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
    std::vector<std::vector<float>> in_, out_;
};

// Planar test signal: noisy tones on the 16-bit grid.
std::vector<std::vector<float>> signal(int channels, size_t frames, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::vector<float>> s(channels, std::vector<float>(frames));
    for (int c = 0; c < channels; ++c)
        for (size_t f = 0; f < frames; ++f) {
            const double v = 12000 * std::sin(0.013 * (c + 1) * f) + static_cast<int>(rng() % 4001) - 2000;
            s[c][f] = static_cast<float>(std::lround(v)) / 32768.0f;
        }
    return s;
}

// A session: blocks of random size, and before some of them a control change.
struct Block {
    uint32_t frames;
    std::map<std::string, float> changes;
};

std::vector<Block> session(uint32_t seed, size_t totalFrames) {
    std::mt19937 rng(seed);
    const std::vector<std::pair<std::string, std::vector<float>>> choices = {
        {"eq_on", {0, 1}},           {"reverb_on", {0, 1}},         {"comp_on", {0, 1}},
        {"order_reverb_first", {0, 1}}, {"reverb_taps", {5, 40, 100}}, {"reverb_wet_db", {-20, -4}},
        {"comp_threshold_db", {-40, -10}}, {"eq_bands", {10, 15, 31}}, {"eq_band_2", {-12, 0, 15}},
        {"eq_band_27", {6, -6}},     {"eq_pregain", {-6, 0, 3.5f}}, {"eq_second_pass", {0, 1}},
    };
    std::vector<Block> blocks;
    size_t done = 0;
    while (done < totalFrames) {
        const uint32_t r = rng() % 4;
        uint32_t frames = r == 0 ? 1 + rng() % 8 : r == 1 ? 1 + rng() % 4096 : 1 + rng() % 700;
        frames = static_cast<uint32_t>(std::min<size_t>(frames, totalFrames - done));
        Block b{frames, {}};
        if (rng() % 5 == 0) {
            const auto& [symbol, values] = choices[rng() % choices.size()];
            b.changes[symbol] = values[rng() % values.size()];
        }
        blocks.push_back(b);
        done += frames;
    }
    return blocks;
}

using Planar = std::vector<std::vector<float>>;

void append(Planar& to, const Planar& block) {
    if (to.empty()) to.resize(block.size());
    for (size_t c = 0; c < block.size(); ++c) to[c].insert(to[c].end(), block[c].begin(), block[c].end());
}

Planar run_alone(const char* uri, int channels, const std::map<std::string, float>& setting,
                 const std::vector<Block>& blocks, const Planar& input) {
    Instance p(uri, 44100, channels);
    for (const auto& [symbol, v] : setting) p.set(symbol, v);
    Planar out;
    size_t offset = 0;
    for (const Block& b : blocks) {
        for (const auto& [symbol, v] : b.changes) p.set(symbol, v);
        append(out, p.run(input, offset, b.frames));
        offset += b.frames;
    }
    return out;
}

TEST(PluginHost, BothPluginsLoadAndRefuseImpossibleRates) {
    for (const char* uri : {kStereo, kMono}) {
        ASSERT_NE(bundle().plugin(uri), nullptr) << uri;
        for (double rate : {0.0, -44100.0, std::nan(""), 1e300}) EXPECT_FALSE(Instance(uri, rate, 2).ok()) << rate;
        EXPECT_TRUE(Instance(uri, 44100, uri == kStereo ? 2 : 1).ok());
    }
}

// Units as LV2 hosts show them, from the parameter table.
TEST(PluginHost, PortsCarryTheirUnits) {
    const LilvPlugin* plugin = bundle().plugin(kStereo);
    ASSERT_NE(plugin, nullptr);
    LilvWorld* world = bundle().world();
    LilvNode* unit = lilv_new_uri(world, "http://lv2plug.in/ns/extensions/units#unit");
    const std::map<std::string, std::string> expected = {
        {"comp_threshold_db", "http://lv2plug.in/ns/extensions/units#db"},
        {"comp_attack_ms", "http://lv2plug.in/ns/extensions/units#ms"},
        {"reverb_decay_m", "http://lv2plug.in/ns/extensions/units#m"},
        {"reverb_taps", ""},
        {"eq_band_7", ""}};
    for (const auto& [symbol, uri] : expected) {
        LilvNode* name = lilv_new_string(world, symbol.c_str());
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, name);
        lilv_node_free(name);
        ASSERT_NE(port, nullptr) << symbol;
        LilvNodes* values = lilv_port_get_value(plugin, port, unit);
        const std::string found =
            values != nullptr && lilv_nodes_size(values) > 0 ? lilv_node_as_uri(lilv_nodes_get_first(values)) : "";
        EXPECT_EQ(found, uri) << symbol;
        lilv_nodes_free(values);
    }
    lilv_node_free(unit);
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
        LilvNode* preset = lilv_new_uri(bundle().world(), uri.c_str());
        lilv_world_load_resource(bundle().world(), preset);
        LilvState* state = lilv_state_new_from_world(bundle().world(), &map, preset);
        lilv_node_free(preset);
        ASSERT_NE(state, nullptr) << uri;
        std::map<std::string, float> restored;
        lilv_state_emit_port_values(
            state,
            [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t) {
                if (size == sizeof(float)) (*static_cast<std::map<std::string, float>*>(data))[symbol] = *static_cast<const float*>(value);
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
    const std::map<std::string, float> setting_a = {{"eq_on", 1}, {"reverb_on", 1}, {"comp_on", 1}};
    const std::map<std::string, float> setting_b = {{"eq_on", 1}, {"eq_bands", 25}, {"eq_band_5", 12},
                                                    {"reverb_on", 1}, {"reverb_comb_m", 35}};
    const std::vector<Block> blocks_a = session(2, kFrames);
    const std::vector<Block> blocks_b = session(3, kFrames);
    const Planar alone_a = run_alone(kStereo, 2, setting_a, blocks_a, input);
    const Planar alone_b = run_alone(kStereo, 2, setting_b, blocks_b, input);
    ASSERT_NE(alone_a, alone_b);  // the settings really differ
    ASSERT_NE(alone_a, input);    // and really act

    Instance a(kStereo, 44100, 2), b(kStereo, 44100, 2);
    for (const auto& [symbol, v] : setting_a) a.set(symbol, v);
    for (const auto& [symbol, v] : setting_b) b.set(symbol, v);
    Planar out_a, out_b;
    size_t ia = 0, ib = 0, offset_a = 0, offset_b = 0;
    while (ia < blocks_a.size() || ib < blocks_b.size()) {
        if (ia < blocks_a.size()) {
            for (const auto& [symbol, v] : blocks_a[ia].changes) a.set(symbol, v);
            append(out_a, a.run(input, offset_a, blocks_a[ia].frames));
            offset_a += blocks_a[ia++].frames;
        }
        if (ib < blocks_b.size()) {
            for (const auto& [symbol, v] : blocks_b[ib].changes) b.set(symbol, v);
            append(out_b, b.run(input, offset_b, blocks_b[ib].frames));
            offset_b += blocks_b[ib++].frames;
        }
    }
    EXPECT_TRUE(out_a == alone_a);
    EXPECT_TRUE(out_b == alone_b);
}

TEST(PluginHost, OutputsAreSixteenBitSamples) {
    const Planar input = signal(1, 8192, 4);
    const Planar out = run_alone(kMono, 1, {{"eq_on", 1}, {"comp_on", 1}, {"reverb_on", 1}},
                                 {{4096, {}}, {4096, {}}}, input);
    for (float v : out[0]) {
        ASSERT_EQ(v * 32768.0f, std::nearbyint(v * 32768.0f));
        ASSERT_GE(v, -1.0f);
        ASSERT_LT(v, 1.0f);
    }
}

TEST(PluginHost, BadControlValuesAreClampedOrIgnored) {
    const Planar input = signal(1, 4000, 5);
    // NaN changes nothing; out-of-range values act as the nearest end;
    // a band count between the choices acts as the nearest choice.
    const auto reference = run_alone(kMono, 1, {{"reverb_on", 1}, {"reverb_taps", 100}, {"eq_on", 1},
                                                {"eq_bands", 15}, {"eq_pregain", 18}},
                                     {{4000, {}}}, input);
    const float inf = std::numeric_limits<float>::infinity();
    const auto wild = run_alone(kMono, 1, {{"reverb_on", 1}, {"reverb_taps", inf}, {"eq_on", 1},
                                           {"eq_bands", 16.2f}, {"eq_pregain", 1e30f}, {"comp_ratio", std::nanf("")}},
                                {{4000, {}}}, input);
    EXPECT_TRUE(wild == reference);
}

TEST(PluginHost, UnconnectedPortsAndEmptyBlocksAreHarmless) {
    Instance p(kStereo, 48000, 2);
    ASSERT_TRUE(p.ok());
    p.set("eq_on", 1);
    p.set("reverb_on", 1);
    p.run_raw(0);     // audio ports not connected yet
    p.run_raw(512);   // still none: nothing read, nothing written
    std::vector<float> left(512, 0.25f), out(512, 9.0f);
    p.connect(0, left.data());   // right input left unconnected: silence
    p.connect(2, out.data());    // right output unconnected: not written
    p.run_raw(512);
    for (float v : out) ASSERT_LT(std::fabs(v), 1.0f);
    for (uint32_t port = 4; port < 4 + 48; ++port) p.connect(port, nullptr);  // controls too
    p.run_raw(512);
    p.run_raw(0);
}

}  // namespace
