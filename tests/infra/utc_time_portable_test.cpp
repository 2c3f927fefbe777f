#include "infra/utc_time_portable.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(UtcTime, ReadsAndWritesTheDocumentsForm) {
    const struct {
        const char* text;
        std::int64_t seconds;
    } cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"1969-12-31T23:59:59Z", -1},
        {"2000-02-29T23:59:59Z", 951868799},
        {"2026-12-10T11:46:17Z", 1796903177},
        {"9999-12-31T23:59:59Z", 253402300799},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUtcTime(c.text), std::optional<std::int64_t>{c.seconds}) << c.text;
        EXPECT_EQ(FormatUtcTime(c.seconds), c.text) << c.seconds;
    }
    EXPECT_EQ(ParseUtcTime(UtcNow()).has_value(), true) << UtcNow();
}

TEST(UtcTime, RefusesOtherShapesAndDaysThatDoNotExist) {
    for (const char* text :
         {"", "2026-12-10", "2026-12-10T11:46:17", "2026-12-10 11:46:17Z", "2026-12-10T11:46:17+00:00",
          "2026-12-10T11:46:17z", "2026-12-1T11:46:17Z", "+026-12-10T11:46:17Z", "2026-13-01T00:00:00Z",
          "2026-00-01T00:00:00Z", "2026-02-29T00:00:00Z", "1900-02-29T00:00:00Z", "2026-04-31T00:00:00Z",
          "2026-12-10T24:00:00Z", "2026-12-10T11:60:00Z", "2026-12-10T11:46:60Z", "2026-12-10T11:46:17Z "}) {
        EXPECT_FALSE(ParseUtcTime(text)) << text;
    }
}

}  // namespace
}  // namespace vk
