#include "model/engine.h"

#include "dsp/chain.h"

namespace audiomix {

namespace {

Settings load_state() {
    Settings s;
    settings_load_state(s);
    return s;
}

// Frames per call of the chain from the longer entry points: a whole number
// of the chain's own pieces, so that the pieces fall where they fall for a
// host that passes the whole buffer at once, and the byte count stays far
// from overflowing.
constexpr int32_t kFramesPerCall = kMaxFrames * 64;

}  // namespace

Engine::Engine() : settings_(load_state()), exchange_(settings_.chain) { chain_signal_load_state(signal_); }

Engine::Edit::Edit(Engine& engine) : engine_(&engine) {
    engine_->lock_.lock();
    ++engine_->editDepth_;
}

Engine::Edit::Edit(Edit&& other) noexcept : engine_(other.engine_) { other.engine_ = nullptr; }

Engine::Edit::~Edit() {
    if (engine_ == nullptr) return;
    if (--engine_->editDepth_ == 0) engine_->publish();
    engine_->lock_.unlock();
}

Engine::View::View(const Engine& engine) : engine_(&engine) { engine_->lock_.lock(); }

Engine::View::~View() { engine_->lock_.unlock(); }

void Engine::publish() {
    exchange_.back() = settings_.chain;
    exchange_.publish();
}

void Engine::restore_load_state() {
    auto s = edit();
    settings_load_state(*s);
    chain_signal_load_state(signal_);
}

void Engine::process(int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay) {
    chain_process(exchange_.take(), signal_, samples, lengthBytes, drawDisplay);
}

int32_t Engine::process_frames(int16_t* samples, int32_t frames) {
    const ChainParams& params = exchange_.take();
    const int32_t channels = params.channelCount;
    if (samples == nullptr || frames < 0 || channels < 1 || channels > kMaxChannels) return 0;
    chain_apply_resets(params, signal_);  // also for an empty buffer
    for (int32_t done = 0; done < frames; done += kFramesPerCall) {
        const int32_t piece = frames - done < kFramesPerCall ? frames - done : kFramesPerCall;
        chain_process(params, signal_, samples + static_cast<int64_t>(done) * channels, piece * channels * 2, 0);
    }
    return frames;
}

int32_t Engine::process_planar(const float* const* in, float* const* out, int32_t frames) {
    return chain_process_planar(exchange_.take(), signal_, in, out, frames);
}

}  // namespace audiomix
