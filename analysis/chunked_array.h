#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <vector>

namespace claimcheck {

// Memory for one chunk of a ChunkedArray. Chunks of 2 MiB and more are aligned to 2 MiB and, on Linux, marked for
// transparent huge pages. The automata built on these arrays are read at random, and with 4 KiB pages most of
// those reads also miss the TLB, while every first touch of a page is a page fault; both are dear on a virtual
// machine (seen there: the index of a 170,000-word patent took half as long again with small pages).
void* AllocateChunk(std::size_t bytes);
void FreeChunk(void* chunk, std::size_t bytes);

// A growable array of trivially copyable values in chunks that double in size, the first holding 1024 values.
// Growing never moves a value: no copying, no old and new array at once, and a short text pays for a small first
// chunk only. Indices are 32-bit.
template <typename T> class ChunkedArray {
    static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);

public:
    ChunkedArray() = default;
    ChunkedArray(const ChunkedArray&) = delete;
    ChunkedArray& operator=(const ChunkedArray&) = delete;
    ~ChunkedArray() {
        for (std::size_t c = 0; c < m_chunks.size(); ++c) {
            if (m_chunks[c] != nullptr) {
                FreeChunk(m_chunks[c], ChunkBytes(c));
            }
        }
    }

    T& operator[](std::uint32_t i) { return Locate(i); }
    const T& operator[](std::uint32_t i) const { return const_cast<ChunkedArray*>(this)->Locate(i); }

    std::size_t size() const { return m_size; }

    std::size_t capacityBytes() const {
        std::size_t bytes = 0;
        for (std::size_t c = 0; c < m_chunks.size(); ++c) {
            bytes += m_chunks[c] != nullptr ? ChunkBytes(c) : 0;
        }
        return bytes;
    }

    // Appends `count` uninitialised values that lie in one chunk, so that they can be addressed as a plain array
    // through a pointer to the first, and returns the index of the first. Throws std::length_error when an index
    // would reach `limit`.
    std::uint32_t grow(std::size_t count, std::size_t limit) {
        const std::size_t begin = m_size;
        if (begin + count <= m_chunkEnd) {
            m_size = begin + count;
            return static_cast<std::uint32_t>(begin);
        }
        return GrowIntoNewChunk(count, limit);
    }

private:
    static constexpr unsigned kFirstBits = 10;

    // Chunk c holds indices [1024 * (2^c - 1), 1024 * (2^(c+1) - 1)): adding 1024 to an index puts the chunk number
    // in the position of its highest bit.
    static std::size_t ChunkBegin(std::size_t c) { return ((std::size_t{1} << c) - 1) << kFirstBits; }
    static std::size_t ChunkBytes(std::size_t c) { return (std::size_t{1} << (c + kFirstBits)) * sizeof(T); }

    T& Locate(std::uint32_t i) {
        const std::uint64_t shifted = std::uint64_t{i} + (std::uint64_t{1} << kFirstBits);
        const unsigned top = static_cast<unsigned>(std::bit_width(shifted)) - 1;
        return m_chunks[top - kFirstBits][shifted - (std::uint64_t{1} << top)];
    }

    std::uint32_t GrowIntoNewChunk(std::size_t count, std::size_t limit) {
        // The rest of the current chunk stays unused when the values do not fit in it.
        std::size_t chunk = m_chunks.size();
        while (count > ChunkBegin(chunk + 1) - ChunkBegin(chunk)) {
            m_chunks.push_back(nullptr);
            ++chunk;
        }
        const std::size_t begin = ChunkBegin(chunk);
        if (begin + count > limit) {
            throw std::length_error("chunked array too large");
        }
        m_chunks.push_back(static_cast<T*>(AllocateChunk(ChunkBytes(chunk))));
        m_chunkEnd = ChunkBegin(chunk + 1);
        m_size = begin + count;
        return static_cast<std::uint32_t>(begin);
    }

    std::vector<T*> m_chunks;
    std::size_t m_size = 0;
    std::size_t m_chunkEnd = 0; // end of the last chunk
};

} // namespace claimcheck
