// audiomix-lv2-bench: a block-based LV2 host on lilv that runs one plugin
// over a whole file, for comparing our plugins with other LV2 plugins on the
// same terms: same input, same block size, one thread.
//
//   audiomix-lv2-bench [--passes N] [--block N] [-o out.wav] URI in.wav [SYMBOL=VALUE ...]
//   audiomix-lv2-bench --ports URI
//
// Every plugin LV2_PATH leads to is loaded. The audio inputs take the file's
// channels in port order and must match them in number (a mono plugin runs a
// mono file); controls not given keep their defaults. Atom ports get an
// empty sequence in and room for one out, CV ports a silent buffer; a port
// of any other kind stays unconnected if it is optional and refuses the
// plugin if not. Each pass instantiates afresh and runs the whole file; the
// best pass counts, since anything slower was the machine doing something
// else. -o writes the last pass as float WAV.
#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>
#include <lv2/resize-port/resize-port.h>
#include <lv2/urid/urid.h>
#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

int usage() {
    std::fputs(
        "usage: audiomix-lv2-bench [--passes N] [--block N] [-o out.wav] URI in.wav [SYMBOL=VALUE ...]\n"
        "       audiomix-lv2-bench --ports URI\n",
        stderr);
    return 2;
}

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "audiomix-lv2-bench: %s\n", message.c_str());
    std::exit(1);
}

// urid:map and urid:unmap over one table; only touched while instantiating
// and by plugins that map in their run, which this single thread serialises.
class UridTable {
public:
    UridTable() {
        map_.handle = this;
        map_.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<UridTable*>(h)->map(uri); };
        unmap_.handle = this;
        unmap_.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID urid) {
            const auto& uris = static_cast<UridTable*>(h)->uris_;
            return urid >= 1 && urid <= uris.size() ? uris[urid - 1].c_str() : nullptr;
        };
    }
    LV2_URID map(const char* uri) {
        for (size_t i = 0; i < uris_.size(); ++i)
            if (uris_[i] == uri) return static_cast<LV2_URID>(i + 1);
        uris_.emplace_back(uri);
        return static_cast<LV2_URID>(uris_.size());
    }
    LV2_URID_Map* map_feature() { return &map_; }
    LV2_URID_Unmap* unmap_feature() { return &unmap_; }

private:
    std::vector<std::string> uris_;
    LV2_URID_Map map_{};
    LV2_URID_Unmap unmap_{};
};

enum class PortKind { AudioIn, AudioOut, ControlIn, ControlOut, AtomIn, AtomOut, Cv };

struct Port {
    PortKind kind;
    std::string symbol;
    float value = 0;             // control ports
    std::vector<float> audio;    // audio and CV ports: one block
    std::vector<uint64_t> atom;  // atom ports, 8-byte aligned as atoms must be
};

// The nodes the host asks about, made once.
struct Vocabulary {
    explicit Vocabulary(LilvWorld* w)
        : input(lilv_new_uri(w, LV2_CORE__InputPort)),
          output(lilv_new_uri(w, LV2_CORE__OutputPort)),
          audio(lilv_new_uri(w, LV2_CORE__AudioPort)),
          control(lilv_new_uri(w, LV2_CORE__ControlPort)),
          cv(lilv_new_uri(w, LV2_CORE__CVPort)),
          atom(lilv_new_uri(w, LV2_ATOM__AtomPort)),
          optional(lilv_new_uri(w, LV2_CORE__connectionOptional)),
          minimum_size(lilv_new_uri(w, LV2_RESIZE_PORT__minimumSize)) {}
    ~Vocabulary() {
        for (LilvNode* n : {input, output, audio, control, cv, atom, optional, minimum_size}) lilv_node_free(n);
    }
    LilvNode *input, *output, *audio, *control, *cv, *atom, *optional, *minimum_size;
};

const char* kind_name(PortKind k) {
    switch (k) {
        case PortKind::AudioIn: return "audio in";
        case PortKind::AudioOut: return "audio out";
        case PortKind::ControlIn: return "control in";
        case PortKind::ControlOut: return "control out";
        case PortKind::AtomIn: return "atom in";
        case PortKind::AtomOut: return "atom out";
        case PortKind::Cv: return "CV";
    }
    return "?";
}

// The plugin's ports with their buffers, control inputs at their defaults
// (the minimum where there is none, as lv2apply does).
std::vector<Port> describe_ports(const LilvPlugin* plugin, const Vocabulary& v, uint32_t block) {
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> mins(count), maxs(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defaults.data());
    std::vector<Port> ports(count);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* lp = lilv_plugin_get_port_by_index(plugin, i);
        Port& p = ports[i];
        p.symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, lp));
        const bool in = lilv_port_is_a(plugin, lp, v.input);
        const bool out = lilv_port_is_a(plugin, lp, v.output);
        if (in == out) fail("port " + p.symbol + " is neither clearly an input nor an output");
        if (lilv_port_is_a(plugin, lp, v.audio)) {
            p.kind = in ? PortKind::AudioIn : PortKind::AudioOut;
            p.audio.assign(block, 0.0f);
        } else if (lilv_port_is_a(plugin, lp, v.control)) {
            p.kind = in ? PortKind::ControlIn : PortKind::ControlOut;
            // Outputs start at 0: some plugins read them back (Calf's
            // Equalizer30Band takes its output gain from one).
            p.value = !in ? 0.0f : !std::isnan(defaults[i]) ? defaults[i] : !std::isnan(mins[i]) ? mins[i] : 0.0f;
        } else if (lilv_port_is_a(plugin, lp, v.cv)) {
            p.kind = PortKind::Cv;
            p.audio.assign(block, 0.0f);
        } else if (lilv_port_is_a(plugin, lp, v.atom)) {
            p.kind = in ? PortKind::AtomIn : PortKind::AtomOut;
            size_t bytes = 8192;
            if (LilvNode* size = lilv_port_get(plugin, lp, v.minimum_size)) {
                if (lilv_node_is_int(size)) bytes = std::max<size_t>(bytes, lilv_node_as_int(size));
                lilv_node_free(size);
            }
            p.atom.assign((bytes + 7) / 8, 0);
        } else if (lilv_port_has_property(plugin, lp, v.optional)) {
            p.kind = PortKind::Cv;  // unknown but optional: left unconnected below
            p.audio.clear();
        } else {
            fail("port " + p.symbol + " is of a kind this host does not know; refusing the plugin");
        }
    }
    return ports;
}

// Atom buffers before each run: inputs an empty sequence, outputs a chunk
// as large as the buffer, for the plugin to write a sequence into.
void reset_atoms(std::vector<Port>& ports, LV2_URID sequence, LV2_URID chunk) {
    for (Port& p : ports) {
        if (p.atom.empty()) continue;
        auto* atom = reinterpret_cast<LV2_Atom*>(p.atom.data());
        if (p.kind == PortKind::AtomIn) {
            atom->size = sizeof(LV2_Atom_Sequence_Body);
            atom->type = sequence;
            reinterpret_cast<LV2_Atom_Sequence*>(atom)->body = LV2_Atom_Sequence_Body{0, 0};
        } else {
            atom->size = static_cast<uint32_t>(p.atom.size() * 8 - sizeof(LV2_Atom));
            atom->type = chunk;
        }
    }
}

double dbfs(double linear) { return linear > 0 ? 20.0 * std::log10(linear) : -INFINITY; }

struct Level {
    double peak = 0, rms = 0;
};

Level level(const std::vector<std::vector<float>>& planar) {
    Level l;
    double sum = 0;
    size_t n = 0;
    for (const auto& ch : planar)
        for (float s : ch) {
            l.peak = std::max(l.peak, static_cast<double>(std::fabs(s)));
            sum += static_cast<double>(s) * s;
            ++n;
        }
    l.rms = n > 0 ? std::sqrt(sum / n) : 0;
    return l;
}

}  // namespace

int main(int argc, char** argv) {
    int passes = 5;
    uint32_t block = 1024;
    std::string out_path;
    bool list_ports = false;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--passes" && i + 1 < argc) {
            passes = std::atoi(argv[++i]);
        } else if (a == "--block" && i + 1 < argc) {
            block = static_cast<uint32_t>(std::atoi(argv[++i]));
        } else if (a == "-o" && i + 1 < argc) {
            out_path = argv[++i];
        } else if (a == "--ports") {
            list_ports = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return usage();
        } else {
            args.push_back(a);
        }
    }
    if (list_ports ? args.size() != 1 : args.size() < 2) return usage();
    if (passes < 1 || block < 1 || block > (1u << 20)) return usage();

    LilvWorld* world = lilv_world_new();
    lilv_world_load_all(world);
    auto vocab = std::make_unique<const Vocabulary>(world);
    LilvNode* uri = lilv_new_uri(world, args[0].c_str());
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    if (plugin == nullptr) fail("no plugin " + args[0] + " (is LV2_PATH right?)");

    std::vector<Port> ports = describe_ports(plugin, *vocab, block);
    if (list_ports) {
        for (size_t i = 0; i < ports.size(); ++i) {
            std::printf("%3zu  %-12s %-24s", i, kind_name(ports[i].kind), ports[i].symbol.c_str());
            if (ports[i].kind == PortKind::ControlIn) std::printf(" default %g", ports[i].value);
            std::printf("\n");
        }
        return 0;
    }

    SF_INFO info{};
    SNDFILE* in = sf_open(args[1].c_str(), SFM_READ, &info);
    if (in == nullptr) fail(args[1] + ": " + sf_strerror(nullptr));
    const int channels = info.channels;
    const auto frames = static_cast<size_t>(info.frames);
    std::vector<float> interleaved(frames * channels);
    const bool read_ok = sf_readf_float(in, interleaved.data(), info.frames) == info.frames;
    sf_close(in);
    if (!read_ok) fail(args[1] + ": short read");
    std::vector<std::vector<float>> input(channels, std::vector<float>(frames));
    for (size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) input[c][f] = interleaved[f * channels + c];
    interleaved = {};

    std::vector<size_t> audio_in, audio_out;
    int atoms = 0, cvs = 0, control_ins = 0;
    for (size_t i = 0; i < ports.size(); ++i) {
        switch (ports[i].kind) {
            case PortKind::AudioIn: audio_in.push_back(i); break;
            case PortKind::AudioOut: audio_out.push_back(i); break;
            case PortKind::ControlIn: ++control_ins; break;
            case PortKind::AtomIn:
            case PortKind::AtomOut: ++atoms; break;
            case PortKind::Cv: ++cvs; break;
            case PortKind::ControlOut: break;
        }
    }
    if (audio_in.size() != static_cast<size_t>(channels))
        fail(args[0] + " has " + std::to_string(audio_in.size()) + " audio input(s) and " + args[1] + " " +
             std::to_string(channels) + " channel(s); give it a file with as many");
    if (audio_out.empty()) fail(args[0] + " has no audio output");

    for (size_t a = 2; a < args.size(); ++a) {
        const auto eq = args[a].find('=');
        if (eq == std::string::npos) return usage();
        const std::string symbol = args[a].substr(0, eq);
        char* end = nullptr;
        const float value = std::strtof(args[a].c_str() + eq + 1, &end);
        if (end == args[a].c_str() + eq + 1 || *end != '\0') fail("bad value in " + args[a]);
        auto it = std::find_if(ports.begin(), ports.end(), [&](const Port& p) { return p.symbol == symbol; });
        if (it == ports.end() || it->kind != PortKind::ControlIn)
            fail(symbol + " is not a control input of " + args[0]);
        it->value = value;
    }

    // The features this host offers; a plugin that requires more is refused.
    UridTable urids;
    const int32_t max_block = static_cast<int32_t>(block), min_block = 1, nominal = max_block;
    const float rate = static_cast<float>(info.samplerate);
    const LV2_URID int_type = urids.map(LV2_ATOM__Int), float_type = urids.map(LV2_ATOM__Float);
    const LV2_Options_Option options[] = {
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), int_type, &max_block},
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__minBlockLength), sizeof(int32_t), int_type, &min_block},
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t), int_type, &nominal},
        {LV2_OPTIONS_INSTANCE, 0, urids.map(LV2_PARAMETERS__sampleRate), sizeof(float), float_type, &rate},
        {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature map_feature{LV2_URID__map, urids.map_feature()};
    const LV2_Feature unmap_feature{LV2_URID__unmap, urids.unmap_feature()};
    const LV2_Feature options_feature{LV2_OPTIONS__options, const_cast<LV2_Options_Option*>(options)};
    const LV2_Feature bounded_feature{LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* features[] = {&map_feature, &unmap_feature, &options_feature, &bounded_feature, nullptr};

    LilvNodes* required = lilv_plugin_get_required_features(plugin);
    LILV_FOREACH(nodes, it, required) {
        const char* feature = lilv_node_as_uri(lilv_nodes_get(required, it));
        bool offered = false;
        for (const LV2_Feature* const* f = features; *f != nullptr; ++f)
            offered |= std::strcmp((*f)->URI, feature) == 0;
        if (!offered) fail(args[0] + " requires " + feature + ", which this host does not offer");
    }
    lilv_nodes_free(required);

    const LV2_URID sequence = urids.map(LV2_ATOM__Sequence), chunk = urids.map(LV2_ATOM__Chunk);
    std::printf("plugin   %s\n", args[0].c_str());
    std::printf("input    %s: %zu frames, %d channel(s), %d Hz (%.1f s)\n", args[1].c_str(), frames, channels,
                info.samplerate, static_cast<double>(frames) / info.samplerate);
    std::printf(
        "ports    %zu audio in, %zu audio out, %d control in, %d atom (empty sequences), %d CV/other (silent)\n",
        audio_in.size(), audio_out.size(), control_ins, atoms, cvs);

    std::vector<std::vector<float>> output(audio_out.size(), std::vector<float>(frames));
    std::vector<double> seconds;
    for (int pass = 0; pass < passes; ++pass) {
        LilvInstance* instance = lilv_plugin_instantiate(plugin, info.samplerate, features);
        if (instance == nullptr) fail(args[0] + " did not instantiate at " + std::to_string(info.samplerate) + " Hz");
        for (size_t i = 0; i < ports.size(); ++i) {
            Port& p = ports[i];
            // Not what the last pass's instance left there: a plugin that
            // reads its outputs would start from another setting.
            if (p.kind == PortKind::ControlOut) p.value = 0.0f;
            void* data = nullptr;
            if (p.kind == PortKind::ControlIn || p.kind == PortKind::ControlOut)
                data = &p.value;
            else if (!p.atom.empty())
                data = p.atom.data();
            else if (!p.audio.empty())
                data = p.audio.data();
            lilv_instance_connect_port(instance, static_cast<uint32_t>(i), data);
        }
        lilv_instance_activate(instance);
        // Copying in and out of fixed buffers is what a host does between
        // blocks; it is a small part of the time and the same for every plugin.
        const auto t0 = std::chrono::steady_clock::now();
        for (size_t done = 0; done < frames;) {
            const uint32_t n = static_cast<uint32_t>(std::min<size_t>(block, frames - done));
            for (int c = 0; c < channels; ++c)
                std::memcpy(ports[audio_in[c]].audio.data(), input[c].data() + done, n * sizeof(float));
            reset_atoms(ports, sequence, chunk);
            lilv_instance_run(instance, n);
            for (size_t o = 0; o < audio_out.size(); ++o)
                std::memcpy(output[o].data() + done, ports[audio_out[o]].audio.data(), n * sizeof(float));
            done += n;
        }
        const auto t1 = std::chrono::steady_clock::now();
        seconds.push_back(std::chrono::duration<double>(t1 - t0).count());
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }

    std::printf("passes   %d of %zu blocks of up to %u frames; seconds:", passes, (frames + block - 1) / block, block);
    for (double s : seconds) std::printf(" %.3f", s);
    std::printf("\n");
    const Level li = level(input), lo = level(output);
    std::printf("levels   in peak %.1f rms %.1f dBFS, out peak %.1f rms %.1f dBFS\n", dbfs(li.peak), dbfs(li.rms),
                dbfs(lo.peak), dbfs(lo.rms));
    const double best = *std::min_element(seconds.begin(), seconds.end());
    std::printf("result   %.0f frames/s, %.1f x real time (best pass %.3f s)\n", frames / best,
                static_cast<double>(frames) / info.samplerate / best, best);

    if (!out_path.empty()) {
        SF_INFO oi{};
        oi.samplerate = info.samplerate;
        oi.channels = static_cast<int>(output.size());
        oi.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* out = sf_open(out_path.c_str(), SFM_WRITE, &oi);
        if (out == nullptr) fail(out_path + ": " + sf_strerror(nullptr));
        std::vector<float> inter(frames * output.size());
        for (size_t f = 0; f < frames; ++f)
            for (size_t c = 0; c < output.size(); ++c) inter[f * output.size() + c] = output[c][f];
        const bool ok =
            sf_writef_float(out, inter.data(), static_cast<sf_count_t>(frames)) == static_cast<sf_count_t>(frames);
        sf_close(out);
        if (!ok) fail(out_path + ": short write");
    }
    vocab.reset();  // its nodes belong to the world
    lilv_world_free(world);
    return 0;
}
