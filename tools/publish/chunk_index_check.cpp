#include "chunk_index_check.h"

#include <stdexcept>

namespace vk::publish {
namespace {

std::string Lengths(const ChunkingParameters& chunking) {
    return std::to_string(chunking.minimum) + "/" + std::to_string(chunking.average) + "/" +
           std::to_string(chunking.maximum);
}

// The first chunk that differs, and how many do.
std::string ChunkDifference(const ChunkIndex& stored, const ChunkIndex& made) {
    std::uint64_t position = 0;  // where chunk i starts
    std::uint64_t offset = 0;    // where the first differing one starts
    std::size_t first = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < stored.chunks.size() && i < made.chunks.size(); ++i) {
        if (stored.chunks[i].length != made.chunks[i].length) {
            return "chunk " + std::to_string(i) + " (at byte " + std::to_string(position) +
                   ") does not end where the file's content cuts it";
        }
        if (stored.chunks[i].sha256 != made.chunks[i].sha256 && differing++ == 0) {
            first = i;
            offset = position;
        }
        position += stored.chunks[i].length;
    }
    if (differing > 0) {
        return "chunk " + std::to_string(first) + " (at byte " + std::to_string(offset) +
               ") does not match the file's bytes" +
               (differing > 1 ? " (" + std::to_string(differing) + " chunks in all)" : std::string());
    }
    if (stored.chunks.size() != made.chunks.size()) {
        return std::to_string(stored.chunks.size()) + " chunks, the file's content cuts " +
               std::to_string(made.chunks.size());
    }
    return {};
}

}  // namespace

std::vector<std::string> ChunkIndexProblems(const std::string& name, std::string_view stored, const ChunkIndex& made) {
    ChunkIndex index;
    try {
        index = ParseChunkIndex(stored);
    } catch (const std::runtime_error& error) {
        return {name + ": " + error.what()};
    }
    if (index.fileSize != made.fileSize || index.fileSha256 != made.fileSha256) {
        return {name + ": describes another file (" + std::to_string(index.fileSize) + " bytes, SHA-256 " +
                index.fileSha256 + ")"};
    }
    if (index.chunking != made.chunking) {
        return {name + ": cut with chunk lengths " + Lengths(index.chunking) + ", launchers cut with " +
                Lengths(made.chunking)};
    }
    const std::string difference = ChunkDifference(index, made);
    if (difference.empty()) return {};
    return {name + ": " + difference};
}

}  // namespace vk::publish
