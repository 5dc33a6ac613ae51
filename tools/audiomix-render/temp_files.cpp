#include "temp_files.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace audiomix_render {

namespace {

// A slot is claimed (Writing), filled, then published (Ready). A handler
// takes a Ready slot back to Writing before it unlinks, so no thread can
// reuse the slot while its path is being read; the process then ends.
// Several renders run at once, each with an audio temporary and perhaps a plot.
enum SlotState : int { kFree, kWriting, kReady };
constexpr int kSlots = 256;

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
Slot g_slots[kSlots];

void on_signal(int sig) {
    for (Slot& slot : g_slots) {
        int ready = kReady;
        if (slot.state.compare_exchange_strong(ready, kWriting, std::memory_order_acquire))
            unlink(slot.path);  // async-signal-safe, as lock-free atomics are
    }
    signal(sig, SIG_DFL);
    raise(sig);
}

}  // namespace

void remove_temporaries_on_signals() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = on_signal;
        sigemptyset(&action.sa_mask);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, sig);
        for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
            // A signal the shell set to be ignored (a background job's INT)
            // stays ignored, as for any well-behaved tool.
            struct sigaction old {};
            sigaction(sig, nullptr, &old);
            if (old.sa_handler != SIG_IGN) sigaction(sig, &action, nullptr);
        }
    });
}

bool RegisteredTemporary::hold(const std::string& path) {
    forget();
    if (path.size() >= PATH_MAX) return false;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (g_slots[i].state.compare_exchange_strong(expected, kWriting, std::memory_order_acquire)) {
            std::memcpy(g_slots[i].path, path.c_str(), path.size() + 1);
            g_slots[i].state.store(kReady, std::memory_order_release);
            slot_ = i;
            return true;
        }
    }
    return false;
}

RegisteredTemporary::~RegisteredTemporary() { forget(); }

void RegisteredTemporary::forget() {
    if (slot_ < 0) return;
    int ready = kReady;  // a handler that took the slot keeps it
    g_slots[slot_].state.compare_exchange_strong(ready, kFree, std::memory_order_release);
    slot_ = -1;
}

}  // namespace audiomix_render
