#include "infra/byte_size_portable.h"

#include <gtest/gtest.h>

#include <utility>

namespace vk {
namespace {

// Each style at the edges of its units: where a unit starts, the last count below it, and the
// largest unit, which keeps counting past 1024.
TEST(FormatByteSize, PlayersSeeOneDecimalFromMegabytesUp) {
    // The launcher's own table (FormatSize) holds the edges below a terabyte.
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0.0 MB"}, {1073741823, "1024.0 MB"}, {1099511627776, "1.0 TB"}, {1ull << 52, "4096.0 TB"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatByteSize(bytes, kPlayerUnits), text) << bytes;
}

TEST(FormatByteSize, PublishersSeeWholeBytesThenTwoDecimals) {
    const std::pair<std::uint64_t, const char*> cases[] = {{0, "0 B"},
                                                           {1023, "1023 B"},
                                                           {1024, "1.00 KiB"},
                                                           {1536, "1.50 KiB"},
                                                           {3145728, "3.00 MiB"},
                                                           {3145727, "3.00 MiB"},
                                                           {3145000000, "2.93 GiB"},
                                                           {1ull << 40, "1.00 TiB"},
                                                           {1ull << 52, "4096.00 TiB"}};
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatByteSize(bytes, kPublisherUnits), text) << bytes;
}

}  // namespace
}  // namespace vk
