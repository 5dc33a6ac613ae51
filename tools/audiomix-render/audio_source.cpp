#include "audio_source.h"

#include <algorithm>

#include "default_signal.h"
#include "sound_reader.h"

namespace audiomix_render {

int64_t FileSource::read(int16_t* out, size_t frames) {
    if (left_ <= 0) return 0;
    const int64_t want = std::min<int64_t>(left_, static_cast<int64_t>(frames));
    const int64_t n = reader_.read(out, static_cast<size_t>(want));
    if (n > 0) left_ -= n;
    return n;
}

int64_t PieceSource::read(int16_t* out, size_t frames) {
    const int64_t n = std::min<int64_t>(total_ - pos_, static_cast<int64_t>(frames));
    if (n <= 0) return 0;
    synthesise_default(kDefaultRate, total_, pos_, static_cast<size_t>(n), out);
    pos_ += n;
    return n;
}

}  // namespace audiomix_render
