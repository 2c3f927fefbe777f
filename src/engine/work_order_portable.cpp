#include "engine/work_order_portable.h"

#include <algorithm>
#include <numeric>

namespace vk {

std::vector<std::size_t> LargestFirst(const std::vector<std::uint64_t>& sizes) {
    std::vector<std::size_t> order(sizes.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return sizes[a] > sizes[b]; });
    return order;
}

}  // namespace vk
