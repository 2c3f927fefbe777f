#pragma once
// Makes the chunk index of a file while its bytes stream past, in pieces of any size.
#include <cstddef>

#include "engine/chunk_index_portable.h"
#include "engine/chunking_portable.h"
#include "infra/sha256_portable.h"

namespace vk {

class ChunkIndexer {
public:
    void Add(const void* bytes, std::size_t length);
    // The index of everything added; the indexer is then ready for the next file.
    ChunkIndex Finish();

private:
    void EndChunk(std::uint32_t length);

    Chunker chunker_;
    Sha256Hasher chunkHasher_;
    Sha256Hasher fileHasher_;
    ChunkIndex index_;
};

}  // namespace vk
