#include "engine/random_source.h"

namespace audiomix {

namespace {
// Only the window thread draws (tap redraws, equaliser resets), so the state
// needs no synchronisation.
uint32_t random_state = 1;
}  // namespace

int32_t random_next() {
    random_state = random_state * 214013u + 2531011u;
    return static_cast<int32_t>((random_state >> 16) & 0x7fffu);
}

void random_restart() { random_state = 1; }

}  // namespace audiomix
