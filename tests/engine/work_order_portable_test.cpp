#include "engine/work_order_portable.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(LargestFirst, OrdersBySizeDescendingAndKeepsTheIndexOrderOfEqualSizes) {
    const struct {
        std::vector<std::uint64_t> sizes;
        std::vector<std::size_t> order;
    } cases[] = {
        {{}, {}},
        {{7}, {0}},
        {{1, 5, 3, 5, 0, 9}, {5, 1, 3, 2, 0, 4}},
        {{2, 2, 2}, {0, 1, 2}},
        {{0, 1ull << 40, 1ull << 33}, {1, 2, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(LargestFirst(c.sizes), c.order) << c.sizes.size();
}

}  // namespace
}  // namespace vk
