#include "engine/chunk_indexer_portable.h"

#include <span>
#include <utility>

namespace vk {

void ChunkIndexer::Add(const void* bytes, std::size_t length) {
    std::span<const unsigned char> piece(static_cast<const unsigned char*>(bytes), length);
    fileHasher_.Add(piece.data(), piece.size());
    index_.fileSize += piece.size();
    while (!piece.empty()) {
        const Chunker::Step step = chunker_.Take(piece);
        chunkHasher_.Add(piece.data(), step.taken);
        if (step.ended != 0) EndChunk(step.ended);
        piece = piece.subspan(step.taken);
    }
}

ChunkIndex ChunkIndexer::Finish() {
    if (chunker_.Pending() > 0) EndChunk(chunker_.Pending());
    chunker_ = Chunker();
    index_.fileSha256 = fileHasher_.Finish();
    return std::exchange(index_, ChunkIndex());
}

void ChunkIndexer::EndChunk(std::uint32_t length) { index_.chunks.push_back({length, chunkHasher_.Finish()}); }

}  // namespace vk
