#include "robust/allocation_count.h"

#include <algorithm>
#include <cstdlib>
#include <new>

AllocationCount g_allocated;

namespace {

// Each allocation carries the size asked for in a header of its own, so that what is live
// does not depend on how the allocator rounds (it rounds one size differently as its
// history changes).
constexpr size_t kHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

}  // namespace

void* operator new(size_t size) {
    auto* memory = static_cast<unsigned char*>(std::malloc(kHeader + size));
    if (memory == nullptr) throw std::bad_alloc();
    *reinterpret_cast<size_t*>(memory) = size;
    g_allocated.liveBytes += size;
    ++g_allocated.liveBlocks;
    g_allocated.peakBytes = std::max(g_allocated.peakBytes, g_allocated.liveBytes);
    return memory + kHeader;
}

void operator delete(void* pointer) noexcept {
    if (pointer == nullptr) return;
    auto* memory = static_cast<unsigned char*>(pointer) - kHeader;
    g_allocated.liveBytes -= *reinterpret_cast<size_t*>(memory);
    --g_allocated.liveBlocks;
    std::free(memory);
}

void operator delete(void* memory, size_t) noexcept {
    operator delete(memory);
}
