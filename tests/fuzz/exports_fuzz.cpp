// Drives the exports and engines with arbitrary calls, arguments and buffers:
// nothing a host passes may crash or corrupt memory.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audiomix.h"

namespace {

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    int32_t int32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
        return static_cast<int32_t>(v);
    }
    double number() {
        double v;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(byte()) << (8 * i);
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

const int32_t kRates[] = {11025, 22050, 44100, 48000, 32000, 8000, 96000, 0, -44100, 1, 2147483647};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    std::vector<int16_t> buffer;
    std::vector<float> planar[2];
    char name[32];
    audiomix_engine* engine = nullptr;
    int steps = 0;
    while (!in.empty() && ++steps < 64) {
        switch (in.byte() % 17) {
        case 0: audiomix_begin(static_cast<uint32_t>(in.int32())); break;
        case 1: audiomix_close(); break;
        case 2: {
            const uint8_t pick = in.byte();
            const int32_t rate = pick < 200 ? kRates[pick % 11] : in.int32();
            audiomix_init(rate, static_cast<int8_t>(in.byte()) % 4, in.byte() % 3);
            break;
        }
        case 3:
        case 4: {
            // Real length up to 9000 frames of stereo; the length given may lie.
            const size_t samples = (static_cast<size_t>(in.byte()) << 8 | in.byte()) % 18001;
            buffer.assign(samples, 0);
            for (size_t i = 0; i < samples && !in.empty(); i += 1 + in.byte() % 64)
                buffer[i] = static_cast<int16_t>(in.int32());
            const int32_t bytes = static_cast<int32_t>(samples * 2) - (in.byte() % 2);
            if (audiomix_change(buffer.data(), bytes, in.byte() % 3) != bytes) __builtin_trap();
            break;
        }
        case 5: audiomix_setiir(in.byte() % 3); break;
        case 6: audiomix_setdisp(in.byte() % 3); break;
        case 7: audiomix_datarefresh(); break;
        case 8: {
            const int32_t index = in.byte() % 50;
            audiomix_param_name(index, name, sizeof name);
            audiomix_param_set(audiomix_param_name(index, name, sizeof name) > 3 ? name : "x",
                               in.byte() < 128 ? static_cast<double>(static_cast<int8_t>(in.byte()) * 8)
                                               : in.number());
            break;
        }
        case 9: {
            char title[800];  // up to 765 characters and the terminator
            const size_t n = in.byte() * 3u;
            for (size_t i = 0; i < n; ++i) title[i] = static_cast<char>(in.byte() | 1);
            title[n] = '\0';
            audiomix_set_title(title);
            break;
        }
        case 10: audiomix_set_mainwnd(nullptr); break;
        case 11: {
            double v;
            audiomix_param_get("eq.band.3", &v);
            audiomix_get_dispstatus();
            audiomix_get_sample();
            audiomix_get_ch();
            break;
        }
        case 12: {
            const int32_t index = in.byte() < 200 ? in.byte() % 12 - 1 : in.int32();
            const int32_t size = in.byte() < 200 ? in.byte() % 34 - 1 : in.int32();
            audiomix_preset_name(index, in.byte() % 4 == 0 ? nullptr : name,
                                 size < static_cast<int32_t>(sizeof name) ? size : sizeof name);
            audiomix_preset_apply(index);
            audiomix_preset_count();
            break;
        }
        case 13: {
            // A new engine, sometimes with arguments it must refuse.
            audiomix_engine_destroy(engine);
            const uint8_t pick = in.byte();
            const int32_t rate = pick < 200 ? kRates[pick % 11] : in.int32();
            const int32_t channels = static_cast<int8_t>(in.byte()) % 4;
            engine = audiomix_engine_create(rate, channels);
            const bool valid = rate > 0 && channels >= 1 && channels <= 2;
            if ((engine != nullptr) != valid) __builtin_trap();
            break;
        }
        case 14: {
            const int32_t real = static_cast<int32_t>((static_cast<size_t>(in.byte()) << 8 | in.byte()) % 9001);
            buffer.assign(static_cast<size_t>(real) * 2, 0);
            for (size_t i = 0; i < buffer.size() && !in.empty(); i += 1 + in.byte() % 64)
                buffer[i] = static_cast<int16_t>(in.int32());
            const int32_t frames = in.byte() % 8 == 0 ? -real : real;
            const int32_t done = audiomix_engine_process(in.byte() % 8 == 0 ? nullptr : engine,
                                                         in.byte() % 16 == 0 ? nullptr : buffer.data(), frames);
            if (done != 0 && done != frames) __builtin_trap();
            break;
        }
        case 15: {
            const int32_t frames = static_cast<int32_t>((static_cast<size_t>(in.byte()) << 8 | in.byte()) % 9001);
            for (auto& channel : planar) channel.assign(static_cast<size_t>(frames), 0.0f);
            for (int32_t i = 0; i < frames && !in.empty(); i += 1 + in.byte() % 64) {
                const double v = in.number();  // NaN, infinities and huge values included
                planar[i % 2][static_cast<size_t>(i)] = static_cast<float>(v);
            }
            const float* ins[2] = {planar[0].data(), in.byte() % 4 == 0 ? nullptr : planar[1].data()};
            float* outs[2] = {planar[0].data(), planar[1].data()};
            audiomix_engine_process_float(engine, in.byte() % 8 == 0 ? nullptr : ins, outs, frames);
            for (int32_t i = 0; engine != nullptr && i < frames; ++i)
                if (!(planar[0][static_cast<size_t>(i)] >= -1.0f && planar[0][static_cast<size_t>(i)] < 1.0f))
                    __builtin_trap();  // outputs are 16-bit samples / 32768
            break;
        }
        case 16: {
            const int32_t index = in.byte() % 50 - 1;
            const int32_t length = audiomix_engine_param_name(engine, index, name, sizeof name);
            audiomix_engine_param_set(engine, length > 3 ? name : "eq.band.40",
                                      in.byte() < 128 ? static_cast<double>(static_cast<int8_t>(in.byte()))
                                                      : in.number());
            double v;
            audiomix_engine_param_get(engine, name, &v);
            audiomix_engine_preset_apply(engine, in.byte() % 12 - 1);
            if (in.byte() % 8 == 0) audiomix_engine_reset(engine);
            break;
        }
        }
    }
    audiomix_engine_destroy(engine);
    return 0;
}
