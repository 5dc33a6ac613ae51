// Hands whole values from a control side to an audio side: a triple buffer.
//
// Three slots. The writer owns one (back), the reader one (front), and the
// third (middle) is in transit; an atomic word holds the middle slot's index
// and a flag that says it holds a value the reader has not taken yet.
//
//   publish (writer): fill back, then swap it with the middle and set the
//     flag. The writer gets the old middle as its new back slot.
//   take (reader): if the flag is set, swap front with the middle (clearing
//     the flag) and read the new front; otherwise keep reading front.
//
// Each side only ever touches its own slot, the swap is one atomic exchange,
// and neither side waits for the other: a reader that takes while the writer
// fills simply gets the previous value, whole. The exchanges are acq_rel, so
// the slot's contents written before a publish are visible after the take
// that receives it. Values published between two takes collapse into the
// last one, which is what the reader wants: the newest settings.
//
// One writer and one reader at a time; callers serialise their writers.
#pragma once

#include <atomic>
#include <cstdint>

namespace audiomix {

template <class T>
class SnapshotExchange {
public:
    // Every slot starts as value.
    explicit SnapshotExchange(const T& value) : slots_{value, value, value} {}

    // ---- writer
    T& back() { return slots_[back_]; }
    void publish() { back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & kIndex; }

    // ---- reader: the newest published value, or the one taken last.
    const T& take() {
        if ((middle_.load(std::memory_order_relaxed) & kFresh) != 0)
            front_ = middle_.exchange(front_, std::memory_order_acq_rel) & kIndex;
        return slots_[front_];
    }

private:
    static constexpr uint32_t kIndex = 3;
    static constexpr uint32_t kFresh = 4;

    T slots_[3];
    uint32_t back_ = 0;  // writer's
    alignas(64) std::atomic<uint32_t> middle_{1};
    alignas(64) uint32_t front_ = 2;  // reader's
};

}  // namespace audiomix
