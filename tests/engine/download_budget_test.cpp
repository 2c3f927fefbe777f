#include "engine/download_budget.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vk {
namespace {

using namespace std::chrono_literals;
using Clock = DownloadBudget::Clock;

// The budget on a clock that only its own waits move, so every figure is exact.
struct FakeTime {
    Clock::time_point now = Clock::time_point{} + 1h;
    Clock::duration slept{};

    DownloadBudget Budget(std::uint64_t bytesPerSecond) {
        return DownloadBudget(
            bytesPerSecond, [this] { return now; },
            [this](Clock::duration length) {
                now += length;
                slept += length;
            });
    }
};

TEST(DownloadBudget, ConnectionsShareOneBudget) {
    // Two connections reading in turns get 1000 bytes a second together, not each: 10000 bytes take
    // ten seconds, less the tenth of a second the first may read ahead.
    FakeTime time;
    DownloadBudget budget = time.Budget(1000);
    for (int turn = 0; turn < 10; ++turn) budget.Spend(1000);
    EXPECT_EQ(time.slept, 9900ms);
    // Within any ten seconds once under way, the bytes paid for keep to the limit.
    const Clock::time_point start = time.now;
    for (int turn = 0; turn < 20; ++turn) budget.Spend(500);
    EXPECT_EQ(time.now - start, 10s);
}

TEST(DownloadBudget, TimeLeftIdleIsNotSavedUp) {
    FakeTime time;
    DownloadBudget budget = time.Budget(1000);
    budget.Spend(1000);
    time.now += 60s;  // nobody read for a minute
    time.slept = {};
    budget.Spend(3000);
    EXPECT_EQ(time.slept, 2900ms);
}

TEST(DownloadBudget, PiecesAreAnEighthOfASecondWithinBounds) {
    FakeTime time;
    EXPECT_EQ(time.Budget(2 * 1024 * 1024).LargestRead(), 256u * 1024);
    EXPECT_EQ(time.Budget(1000).LargestRead(), 4096u);
    EXPECT_EQ(time.Budget(1ull << 40).LargestRead(), 1024u * 1024);
}

}  // namespace
}  // namespace vk
