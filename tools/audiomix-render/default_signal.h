// The built-in test piece rendered when no input file is given: a short,
// deterministic stereo groove (pad chords, plucked arpeggio, bass, kick,
// snare and hi-hat) that exercises every stage of the effects audibly.
#pragma once

#include <cstddef>
#include <cstdint>

namespace audiomix_render {

constexpr int32_t kDefaultRate = 44100;
constexpr int kDefaultChannels = 2;
constexpr double kDefaultSeconds = 8.0;  // one pass of the four-bar pattern

// Writes frames stereo frames (interleaved L, R) of a piece totalFrames long
// at the given rate, starting at firstFrame. Every sample depends only on
// (rate, totalFrames, frame index), so the piece can be rendered in any
// pieces and always gives the same samples; the pattern repeats every
// eight seconds and the last moments fade out. Peaks sit near -3 dBFS.
void synthesise_default(int32_t rate, int64_t totalFrames, int64_t firstFrame, size_t frames, int16_t* out);

}  // namespace audiomix_render
