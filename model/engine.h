// One stream's engine: its settings, the hand-over to the audio side, and
// the audio side's signal state.
//
// Two sides. The control side (any thread: the window, a host's parameter
// calls, audiomix_init) works on the settings through edit() and view(),
// which take the engine's lock, so its calls are serialised; random draws
// happen there, in call order. When an edit ends, the chain's parameters are
// published whole to the audio side (model/snapshot_exchange.h). The audio
// side (one thread at a time) takes the newest published parameters once per
// buffer and runs the chain on its own signal state; it never locks, waits,
// allocates or calls the system. Resets of signal state travel inside the
// parameters as requests (dsp/chain_state.h).
//
// In one thread this is indistinguishable from a plain record: every change
// made between two buffers acts on the next buffer, and the getters see it at
// once.
#pragma once

#include <cstdint>
#include <mutex>

#include "dsp/chain_state.h"
#include "model/settings.h"
#include "model/snapshot_exchange.h"

namespace audiomix {

class Engine {
public:
    // In the state of a freshly loaded library.
    Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Exclusive access to the settings; the parameters are published when
    // the last edit of a nesting ends. Keep one short: never send a message
    // to another thread while holding it.
    class Edit {
    public:
        explicit Edit(Engine& engine);
        ~Edit();
        Edit(Edit&& other) noexcept;
        Edit(const Edit&) = delete;
        Edit& operator=(const Edit&) = delete;
        Settings& operator*() const { return engine_->settings_; }
        Settings* operator->() const { return &engine_->settings_; }

    private:
        Engine* engine_;
    };

    // Shared reading of the settings under the same lock.
    class View {
    public:
        explicit View(const Engine& engine);
        ~View();
        View(const View&) = delete;
        View& operator=(const View&) = delete;
        const Settings& operator*() const { return engine_->settings_; }
        const Settings* operator->() const { return &engine_->settings_; }

    private:
        const Engine* engine_;
    };

    Edit edit() { return Edit(*this); }
    View view() const { return View(*this); }

    // ---- audio side
    // lengthBytes bytes of interleaved samples in place (dsp/chain.h).
    void process(int16_t* samples, int32_t lengthBytes, uint8_t drawDisplay);
    // frames interleaved frames in place, any number, in the pieces
    // audiomix_change would use; without the level display. Returns frames
    // processed: 0 for a null buffer, a negative count or an unsupported
    // channel count.
    int32_t process_frames(int16_t* samples, int32_t frames);
    // Planar float frames, each sample quantised to 16 bits on the way in and
    // given back as the 16-bit result / 32768: exactly the 16-bit path. in
    // and out may be the same arrays. Channels without a pointer are silence
    // in and not written out.
    int32_t process_planar(const float* const* in, float* const* out, int32_t frames);

    // The audio side's state, for tests; only while no buffer runs.
    const ChainSignal& signal() const { return signal_; }

    // Back to the state of a freshly loaded library, for tests; only while
    // no buffer runs.
    void restore_load_state();

private:
    void publish();

    mutable std::recursive_mutex lock_;
    int32_t editDepth_ = 0;
    Settings settings_;
    SnapshotExchange<ChainParams> exchange_;
    ChainSignal signal_;
};

}  // namespace audiomix
