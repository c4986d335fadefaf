#include "bench/heap_counter.h"

#include "platform/system.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace claimcheck::bench {

namespace {

std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};

void* counted(void* p) {
    // Counting the usable size lets delete, which may not be told the size, subtract exactly what was added.
    const std::size_t size = platform::allocatedBytes(p);
    const std::size_t live = g_live.fetch_add(size, std::memory_order_relaxed) + size;
    std::size_t peak = g_peak.load(std::memory_order_relaxed);
    while (live > peak && !g_peak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    return p;
}

void* allocate(std::size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return counted(p);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    const std::size_t align = static_cast<std::size_t>(alignment);
    // aligned_alloc wants a size that is a multiple of the alignment.
    void* p = std::aligned_alloc(align, (std::max<std::size_t>(size, 1) + align - 1) / align * align);
    if (p == nullptr) {
        throw std::bad_alloc();
    }
    return counted(p);
}

void release(void* p) {
    if (p != nullptr) {
        g_live.fetch_sub(platform::allocatedBytes(p), std::memory_order_relaxed);
        std::free(p);
    }
}

} // namespace

std::size_t heapLiveBytes() {
    return g_live.load(std::memory_order_relaxed);
}
std::size_t heapPeakBytes() {
    return g_peak.load(std::memory_order_relaxed);
}
void resetHeapPeak() {
    g_peak.store(g_live.load(std::memory_order_relaxed), std::memory_order_relaxed);
}

} // namespace claimcheck::bench

void* operator new(std::size_t size) {
    return claimcheck::bench::allocate(size);
}
void* operator new[](std::size_t size) {
    return claimcheck::bench::allocate(size);
}
void operator delete(void* p) noexcept {
    claimcheck::bench::release(p);
}
void operator delete[](void* p) noexcept {
    claimcheck::bench::release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    claimcheck::bench::release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    claimcheck::bench::release(p);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return claimcheck::bench::allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return claimcheck::bench::allocateAligned(size, alignment);
}
void operator delete(void* p, std::align_val_t) noexcept {
    claimcheck::bench::release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    claimcheck::bench::release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    claimcheck::bench::release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    claimcheck::bench::release(p);
}
