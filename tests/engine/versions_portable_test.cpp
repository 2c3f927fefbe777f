#include "engine/versions_portable.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

struct VersionCase {
    const char* a;
    const char* b;
    int expected;
};

TEST(CompareVersionsTest, ComparesSegmentByNumber) {
    const VersionCase cases[] = {
        {"2.4.0", "2.4", 0},        {"2.4.0", "2.10.0", -1}, {"2.4.0", "", 1},       {"1.0-beta", "1.0", 0},
        {"2a", "20", 0},            {"beta", "0", 0},        {"", "", 0},            {"2.5", "2.4.9", 1},
        {"2.4.0.1", "2.4", 1},      {"10", "9", 1},          {"1..2", "1.0.2", 0},   {"2.4.", "2.4", 0},
        // 4294967296 wraps to 0 and 4294967297 to 1 in 32-bit unsigned arithmetic.
        {"4294967296", "0", 0},     {"4294967297", "2", -1}, {"4294967295", "0", 1},
    };
    for (const VersionCase& c : cases) {
        EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(CompareVersions(c.b, c.a), -c.expected) << c.b << " vs " << c.a;
    }
}

}  // namespace
}  // namespace vk
