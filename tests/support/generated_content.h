#pragma once
// Content for the tests of chunking and chunk indexes: incompressible bytes that every run and
// both trees generate alike, and their chunk index.
#include <cstdint>
#include <string>

#include "engine/chunk_indexer_portable.h"
#include "engine/chunking_portable.h"

namespace vk::test {

// Bytes from SplitMix64 seeded with `seed`, eight per output, low byte first.
inline std::string GeneratedBytes(std::size_t size, std::uint64_t seed) {
    std::string bytes;
    while (bytes.size() < size) {
        const std::uint64_t value = SplitMix64(seed);
        for (int k = 0; k < 8; ++k) bytes.push_back(static_cast<char>(value >> (8 * k)));
    }
    bytes.resize(size);
    return bytes;
}

inline ChunkIndex IndexOf(const std::string& bytes) {
    ChunkIndexer indexer;
    indexer.Add(bytes.data(), bytes.size());
    return indexer.Finish();
}

}  // namespace vk::test
