#include "export/live_temporaries.h"

#include <atomic>
#include <cstring>

namespace {

// A slot is claimed (Free to Filling) by one thread, which copies its path in and then
// publishes it (Listed); a handler reads only Listed slots, whose path no one writes.
enum SlotState : int { kFree, kFilling, kListed };

struct Slot {
    std::atomic<int> state{kFree};
    char path[kLiveTemporaryPathBytes];
};

Slot g_slots[kLiveTemporarySlots];
std::atomic<bool> g_ending{false};
std::atomic<size_t> g_making{0};  // calls that make a hidden name, under way

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler reads the slots");

}  // namespace

int ListLiveTemporary(const std::string& path) {
    if (path.size() >= kLiveTemporaryPathBytes) return -1;
    for (size_t index = 0; index < kLiveTemporarySlots; ++index) {
        Slot& slot = g_slots[index];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling, std::memory_order_acquire)) {
            continue;
        }
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kListed, std::memory_order_release);
        return static_cast<int>(index);
    }
    return -1;
}

void ForgetLiveTemporary(int slot) {
    if (slot < 0 || static_cast<size_t>(slot) >= kLiveTemporarySlots) return;
    g_slots[slot].state.store(kFree, std::memory_order_release);
}

const char* LiveTemporaryAt(size_t slot) {
    if (slot >= kLiveTemporarySlots) return nullptr;
    const Slot& entry = g_slots[slot];
    return entry.state.load(std::memory_order_acquire) == kListed ? entry.path : nullptr;
}

// Either the maker sees the end marked, or the handler sees the maker under way and waits:
// both are sequentially consistent.
bool BeginMakingTemporary() {
    g_making.fetch_add(1);
    if (!g_ending.load()) return true;
    g_making.fetch_sub(1);
    return false;
}

void EndMakingTemporary() {
    g_making.fetch_sub(1);
}

void MarkLiveTemporariesEnding() {
    g_ending.store(true);
}

size_t TemporariesBeingMade() {
    return g_making.load();
}
