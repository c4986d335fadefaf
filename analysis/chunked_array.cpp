#include "analysis/chunked_array.h"

#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace claimcheck {

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::align_val_t AlignmentFor(std::size_t bytes) {
    return std::align_val_t{bytes >= kHugePage ? kHugePage : alignof(std::max_align_t)};
}

} // namespace

void* AllocateChunk(std::size_t bytes) {
    void* chunk = ::operator new(bytes, AlignmentFor(bytes));
#ifdef __linux__
    if (bytes >= kHugePage) {
        // Advice only: where huge pages are off the call fails and the chunk keeps small pages.
        madvise(chunk, bytes, MADV_HUGEPAGE);
    }
#endif
    return chunk;
}

void FreeChunk(void* chunk, std::size_t bytes) {
    ::operator delete(chunk, AlignmentFor(bytes));
}

} // namespace claimcheck
