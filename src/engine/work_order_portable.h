#pragma once
// The order in which parallel work over files is handed out.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk {

// The indexes of sizes, largest first and equal sizes in ascending index order, so that one large
// file does not start last and leave the other threads idle.
std::vector<std::size_t> LargestFirst(const std::vector<std::uint64_t>& sizes);

}  // namespace vk
