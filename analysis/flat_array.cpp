#include "analysis/flat_array.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#ifdef __linux__
#include <sys/mman.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define CLAIMCHECK_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CLAIMCHECK_ADDRESS_SANITIZER 1
#endif
#endif

// Under the address sanitizer every block comes from the heap and none is kept for reuse, so that it sees every
// read or write past an array's end and every use of a freed array.
#if defined(__linux__) && !defined(CLAIMCHECK_ADDRESS_SANITIZER)
#define CLAIMCHECK_MAPPED_BLOCKS 1
#endif

namespace claimcheck {

namespace {

#ifdef CLAIMCHECK_MAPPED_BLOCKS
// Smaller blocks come from the heap, which hands them out and takes them back without a system call: the automata
// of short texts stay there. Larger ones are mapped.
constexpr std::size_t kMappedFrom = std::size_t{1} << 20;

bool IsMapped(std::size_t bytes) {
    return bytes >= kMappedFrom;
}
#else
bool IsMapped(std::size_t) {
    return false;
}
#endif

void* HeapAllocate(std::size_t bytes) {
    void* data = std::malloc(bytes);
    if (data == nullptr) {
        throw std::bad_alloc();
    }
    return data;
}

#ifdef CLAIMCHECK_MAPPED_BLOCKS
constexpr std::size_t kHugePage = std::size_t{2} << 20;

void AdviseHugePages(void* block, std::size_t bytes) {
    if (bytes >= kHugePage) {
        // Advice only: where huge pages are off the call fails and the block keeps small pages.
        madvise(block, bytes, MADV_HUGEPAGE);
    }
}

// Maps in the pages of a block just made or grown in one call, ahead of their first use. An array's appends touch
// them all in turn anyway; one page fault each is far dearer, and dearest on a virtual machine (seen there: a
// tenth of the time of an automaton of a long patent went into page faults). Advice only: a kernel without it
// (before Linux 5.14) faults the pages in as they are touched.
void MapInPages(void* begin, std::size_t bytes) {
#ifdef MADV_POPULATE_WRITE
    madvise(begin, bytes, MADV_POPULATE_WRITE);
#else
    (void)begin;
    (void)bytes;
#endif
}

void* Map(std::size_t bytes) {
    void* data = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (data == MAP_FAILED) {
        throw std::bad_alloc();
    }
    AdviseHugePages(data, bytes);
    MapInPages(data, bytes);
    return data;
}

void* Remap(FlatBlock block, std::size_t newBytes) {
    void* moved = mremap(block.data, block.bytes, newBytes, MREMAP_MAYMOVE);
    if (moved == MAP_FAILED) {
        throw std::bad_alloc();
    }
    AdviseHugePages(moved, newBytes);
    MapInPages(static_cast<char*>(moved) + block.bytes, newBytes - block.bytes);
    return moved;
}

void Unmap(FlatBlock block) {
    munmap(block.data, block.bytes);
}
#else
void* Map(std::size_t bytes) {
    return HeapAllocate(bytes);
}

void* Remap(FlatBlock block, std::size_t newBytes) {
    void* moved = std::realloc(block.data, newBytes);
    if (moved == nullptr) {
        throw std::bad_alloc();
    }
    return moved;
}

void Unmap(FlatBlock block) {
    std::free(block.data);
}
#endif

// The blocks handed out and kept, and their counts.
class Blocks {
public:
    ~Blocks() {
        for (const FlatBlock& block : m_kept) {
            Unmap(block);
        }
    }

    FlatBlock Allocate(std::size_t bytes) {
        if (!IsMapped(bytes)) {
            return Counted(FlatBlock{HeapAllocate(bytes), bytes});
        }
        if (const std::optional<FlatBlock> kept = TakeKept(bytes)) {
            return *kept;
        }
        return Counted(FlatBlock{Map(bytes), bytes});
    }

    FlatBlock Reallocate(FlatBlock block, std::size_t newBytes) {
        if (!IsMapped(newBytes)) {
            void* moved = std::realloc(block.data, newBytes);
            if (moved == nullptr) {
                throw std::bad_alloc();
            }
            Uncount(block.bytes);
            return Counted(FlatBlock{moved, newBytes});
        }
        if (!IsMapped(block.bytes)) {
            // From the heap to a mapped block: the values are copied once, while they are still few.
            const FlatBlock grown = Allocate(newBytes);
            std::memcpy(grown.data, block.data, block.bytes);
            Free(block);
            return grown;
        }
        if (const std::optional<FlatBlock> kept = TakeKept(newBytes)) {
            // Copying the values costs less than mapping in new pages: the kept block's are mapped in already.
            std::memcpy(kept->data, block.data, block.bytes);
            Free(block);
            return *kept;
        }
        void* moved = Remap(block, newBytes);
        Uncount(block.bytes);
        return Counted(FlatBlock{moved, newBytes});
    }

    void Free(FlatBlock block) {
        Uncount(block.bytes);
        if (!IsMapped(block.bytes)) {
            std::free(block.data);
            return;
        }
        std::vector<FlatBlock> released;
        {
            const std::lock_guard lock(m_mutex);
            if (block.bytes > kFlatCacheBytes || !kKeepFreedBlocks) {
                released.push_back(block);
            } else {
                m_kept.push_back(block);
                m_keptBytes += block.bytes;
                // Over the limit, the smallest blocks go first.
                std::sort(m_kept.begin(), m_kept.end(),
                          [](const FlatBlock& a, const FlatBlock& b) { return a.bytes > b.bytes; });
                while (m_keptBytes > kFlatCacheBytes) {
                    released.push_back(m_kept.back());
                    m_keptBytes -= m_kept.back().bytes;
                    m_kept.pop_back();
                }
            }
        }
        for (const FlatBlock& old : released) {
            Unmap(old);
        }
    }

    std::size_t InUse() {
        const std::lock_guard lock(m_mutex);
        return m_inUse;
    }
    std::size_t Kept() {
        const std::lock_guard lock(m_mutex);
        return m_keptBytes;
    }
    std::size_t Peak() {
        const std::lock_guard lock(m_mutex);
        return m_peak;
    }
    void ResetPeak() {
        const std::lock_guard lock(m_mutex);
        m_peak = m_inUse;
    }

private:
#ifdef CLAIMCHECK_MAPPED_BLOCKS
    static constexpr bool kKeepFreedBlocks = true;
#else
    static constexpr bool kKeepFreedBlocks = false;
#endif
    // A kept block is handed out for at most this many times its size: a growing array takes one once it comes
    // near its size, and an array that stays small leaves it to one that will not.
    static constexpr std::size_t kMaxOversize = 8;

    // The smallest kept block that holds `bytes` without being too large for it.
    std::optional<FlatBlock> TakeKept(std::size_t bytes) {
        const std::lock_guard lock(m_mutex);
        auto best = m_kept.end();
        for (auto it = m_kept.begin(); it != m_kept.end(); ++it) {
            if (it->bytes >= bytes && it->bytes / kMaxOversize <= bytes &&
                (best == m_kept.end() || it->bytes < best->bytes)) {
                best = it;
            }
        }
        if (best == m_kept.end()) {
            return std::nullopt;
        }
        const FlatBlock block = *best;
        m_kept.erase(best);
        m_keptBytes -= block.bytes;
        Use(block.bytes);
        return block;
    }

    FlatBlock Counted(FlatBlock block) {
        const std::lock_guard lock(m_mutex);
        Use(block.bytes);
        return block;
    }

    void Uncount(std::size_t bytes) {
        const std::lock_guard lock(m_mutex);
        m_inUse -= bytes;
    }

    void Use(std::size_t bytes) {
        m_inUse += bytes;
        m_peak = std::max(m_peak, m_inUse);
    }

    std::mutex m_mutex;
    std::vector<FlatBlock> m_kept; // largest first
    std::size_t m_keptBytes = 0;
    std::size_t m_inUse = 0;
    std::size_t m_peak = 0;
};

Blocks& TheBlocks() {
    static Blocks blocks;
    return blocks;
}

} // namespace

FlatBlock AllocateFlat(std::size_t bytes) {
    return TheBlocks().Allocate(bytes);
}

FlatBlock ReallocateFlat(FlatBlock block, std::size_t newBytes) {
    return TheBlocks().Reallocate(block, newBytes);
}

void FreeFlat(FlatBlock block) {
    TheBlocks().Free(block);
}

std::size_t FlatBytesInUse() {
    return TheBlocks().InUse();
}

std::size_t FlatBytesKept() {
    return TheBlocks().Kept();
}

std::size_t FlatBytesPeak() {
    return TheBlocks().Peak();
}

void ResetFlatBytesPeak() {
    TheBlocks().ResetPeak();
}

} // namespace claimcheck
