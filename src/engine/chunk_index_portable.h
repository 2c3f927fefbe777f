#pragma once
// The chunk index of a file: how the file is cut into content-defined chunks (chunking_portable.h)
// and the SHA-256 of each chunk, so that a launcher holding an older copy can tell which chunks it
// already has. The publisher stores it as an ordinary blob and names it in the file's entry of the
// release list ("chunks"). One writer and one reader serve every program.
//
// The format, all integers little-endian:
//   offset  size
//        0     4  "VKCI"
//        4     4  format version, 1
//        8    12  chunking parameters: minimum, average and maximum chunk length
//       20     8  file size
//       28    32  file SHA-256
//       60     4  chunk count
//       64        per chunk, in file order: length (4), SHA-256 (32)
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/chunking_portable.h"

namespace vk {

inline constexpr std::uint32_t kChunkIndexVersion = 1;

struct ChunkingParameters {
    std::uint32_t minimum = kMinChunk;
    std::uint32_t average = kAverageChunk;
    std::uint32_t maximum = kMaxChunk;

    bool operator==(const ChunkingParameters&) const = default;
};

struct IndexedChunk {
    std::uint32_t length = 0;
    std::string sha256;  // digest text

    bool operator==(const IndexedChunk&) const = default;
};

struct ChunkIndex {
    ChunkingParameters chunking;
    std::uint64_t fileSize = 0;
    std::string fileSha256;  // digest text
    std::vector<IndexedChunk> chunks;

    bool operator==(const ChunkIndex&) const = default;
};

// The index's bytes. The digests must be digest text.
std::string ChunkIndexBytes(const ChunkIndex& index);

// The index the bytes hold; throws a message that says what is wrong when they are not one: too
// short, another format or version, parameters that cut no file, a byte count that does not fit the
// chunk count, or chunk lengths outside the parameters or not adding up to the file size.
ChunkIndex ParseChunkIndex(std::string_view bytes);

}  // namespace vk
