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
    // The next sizeof(T) bytes (zeros past the end) as a T, any bit pattern.
    template <typename T>
    T next() {
        unsigned char bytes[sizeof(T)];
        for (unsigned char& b : bytes) b = byte();
        T v;
        std::memcpy(&v, bytes, sizeof v);
        return v;
    }
    // One of the rates hosts pass, good or bad, or any at all.
    int32_t rate() {
        static const int32_t kRates[] = {11025, 22050, 44100, 48000, 32000, 8000, 96000, 0, -44100, 1, 2147483647};
        const uint8_t pick = byte();
        return pick < 200 ? kRates[pick % 11] : next<int32_t>();
    }
    // A length below limit from two bytes.
    size_t length(size_t limit) { return (static_cast<size_t>(byte()) << 8 | byte()) % limit; }
    // Samples here and there in a buffer of zeros.
    void scatter(std::vector<int16_t>& buffer) {
        for (size_t i = 0; i < buffer.size() && !empty(); i += 1 + byte() % 64) buffer[i] = next<int16_t>();
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader in(data, size);
    std::vector<int16_t> buffer;
    std::vector<float> planar[2];
    char name[32];
    audiomix_engine* engine = nullptr;
    int steps = 0;
    while (!in.empty() && ++steps < 64) {
        switch (in.byte() % 15) {
        case 0:
            audiomix_begin(in.next<uint32_t>());
            audiomix_set_mainwnd(nullptr);
            break;
        case 1: audiomix_close(); break;
        case 2: audiomix_init(in.rate(), static_cast<int8_t>(in.byte()) % 4, in.byte() % 3); break;
        case 3:
        case 4: {
            // Real length up to 9000 frames of stereo; the length given may lie.
            const size_t samples = in.length(18001);
            buffer.assign(samples, 0);
            in.scatter(buffer);
            const int32_t bytes = static_cast<int32_t>(samples * 2) - (in.byte() % 2);
            if (audiomix_change(buffer.data(), bytes, in.byte() % 3) != bytes) __builtin_trap();
            break;
        }
        case 5: audiomix_setiir(in.byte() % 3); break;
        case 6:
            audiomix_setdisp(in.byte() % 3);
            audiomix_get_dispstatus();
            break;
        case 7: audiomix_datarefresh(); break;
        case 8: {
            const int32_t index = in.byte() % 50;
            audiomix_param_set(audiomix_param_name(index, name, sizeof name) > 3 ? name : "x",
                               in.byte() < 128 ? static_cast<double>(static_cast<int8_t>(in.byte()) * 8)
                                               : in.next<double>());
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
        case 10: {
            const int32_t index = in.byte() < 200 ? in.byte() % 12 - 1 : in.next<int32_t>();
            const int32_t size = in.byte() < 200 ? in.byte() % 34 - 1 : in.next<int32_t>();
            audiomix_preset_name(index, in.byte() % 4 == 0 ? nullptr : name,
                                 size < static_cast<int32_t>(sizeof name) ? size : sizeof name);
            audiomix_preset_apply(index);
            audiomix_preset_count();
            break;
        }
        case 11: {
            // A new engine, sometimes with arguments it must refuse.
            audiomix_engine_destroy(engine);
            const int32_t rate = in.rate();
            const int32_t channels = static_cast<int8_t>(in.byte()) % 4;
            engine = audiomix_engine_create(rate, channels);
            const bool valid = rate > 0 && channels >= 1 && channels <= 2;
            if ((engine != nullptr) != valid) __builtin_trap();
            break;
        }
        case 12: {
            const int32_t real = static_cast<int32_t>(in.length(9001));
            buffer.assign(static_cast<size_t>(real) * 2, 0);
            in.scatter(buffer);
            const int32_t frames = in.byte() % 8 == 0 ? -real : real;
            const int32_t done = audiomix_engine_process(in.byte() % 8 == 0 ? nullptr : engine,
                                                         in.byte() % 16 == 0 ? nullptr : buffer.data(), frames);
            if (done != 0 && done != frames) __builtin_trap();
            break;
        }
        case 13: {
            const int32_t frames = static_cast<int32_t>(in.length(9001));
            for (auto& channel : planar) channel.assign(static_cast<size_t>(frames), 0.0f);
            for (int32_t i = 0; i < frames && !in.empty(); i += 1 + in.byte() % 64)
                planar[i % 2][static_cast<size_t>(i)] = in.next<float>();  // NaN, infinities, huge values
            const float* ins[2] = {planar[0].data(), in.byte() % 4 == 0 ? nullptr : planar[1].data()};
            float* outs[2] = {planar[0].data(), planar[1].data()};
            audiomix_engine_process_float(engine, in.byte() % 8 == 0 ? nullptr : ins, outs, frames);
            for (int32_t i = 0; engine != nullptr && i < frames; ++i)
                if (!(planar[0][static_cast<size_t>(i)] >= -1.0f && planar[0][static_cast<size_t>(i)] < 1.0f))
                    __builtin_trap();  // outputs are 16-bit samples / 32768
            break;
        }
        case 14: {
            const int32_t index = in.byte() % 50 - 1;
            const int32_t length = audiomix_engine_param_name(engine, index, name, sizeof name);
            audiomix_engine_param_set(engine, length > 3 ? name : "eq.band.40",
                                      in.byte() < 128 ? static_cast<double>(static_cast<int8_t>(in.byte()))
                                                      : in.next<double>());
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
