// The host's built-in programme: a short synthesised stereo loop with the
// dynamics of music (kick, bass, arpeggio, pad, hats), so the level display
// and the effects have something to work on without an input file.
#pragma once

#include <cstdint>

namespace host {

class Music {
public:
    explicit Music(int rate);

    // The next frames, interleaved for 1 or 2 channels (mono mixes both
    // sides). Continues where the previous call stopped; the loop repeats
    // every loop_frames().
    void render(int16_t* out, int frames, int channels);

    int64_t loop_frames() const;

private:
    double sample(double t, int side) const;
    int rate_;
    int64_t position_ = 0;
};

}  // namespace host
