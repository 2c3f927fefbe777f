#pragma once
// The check of a file's stored chunk index against the file it describes.
#include <string>
#include <string_view>
#include <vector>

#include "engine/chunk_index_portable.h"

namespace vk::publish {

// What is wrong with the stored index bytes, measured against the index made from the file's own
// bytes (IndexFile); empty when a launcher can rely on them. Each line starts with `name`.
std::vector<std::string> ChunkIndexProblems(const std::string& name, std::string_view stored, const ChunkIndex& made);

}  // namespace vk::publish
