#include "engine/connection_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <vector>

namespace vk {
namespace {

using namespace std::chrono_literals;
using Clock = ConnectionWatch::Clock;

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;

// Connections reading at steady rates, a second at a time; returns the second at which the last of
// them was given up, or 0 when it never was within `seconds`.
int SecondGivenUp(ConnectionWatch& watch, const std::vector<std::uint64_t>& bytesPerSecond, int seconds,
                  const std::function<std::uint64_t(int)>& lastRate = {}) {
    const Clock::time_point start = Clock::time_point{} + 1h;
    std::vector<std::unique_ptr<WatchedConnection>> connections;
    for (std::size_t i = 0; i < bytesPerSecond.size(); ++i) {
        connections.push_back(std::make_unique<WatchedConnection>(watch, start));
    }
    for (int second = 1; second <= seconds; ++second) {
        const Clock::time_point now = start + std::chrono::seconds(second);
        bool kept = true;
        for (std::size_t i = 0; i < connections.size(); ++i) {
            const bool last = i + 1 == connections.size();
            const std::uint64_t rate = last && lastRate ? lastRate(second) : bytesPerSecond[i];
            const bool going = connections[i]->Received(rate, now);
            if (last) kept = going;
        }
        if (!kept) return second;
    }
    return 0;
}

TEST(ConnectionWatch, ACrawlingConnectionBesideFastOnesIsGivenUpAfterItsTime) {
    ConnectionWatch watch{StallLimits{}};
    const int second = SecondGivenUp(watch, {4 * kMiB, 3 * kMiB, 5 * kMiB, kKiB}, 60);
    EXPECT_GE(second, 15);
    EXPECT_LE(second, 17);
}

TEST(ConnectionWatch, SlowIsJudgedOnlyAgainstFastOthers) {
    const struct {
        const char* name;
        std::vector<std::uint64_t> rates;
    } cases[] = {
        {"alone", {kKiB}},
        {"the others are slow too", {100 * kKiB, 120 * kKiB, kKiB}},
        {"a third of the others' median", {3 * kMiB, 3 * kMiB, kMiB}},
    };
    for (const auto& c : cases) {
        ConnectionWatch watch{StallLimits{}};
        EXPECT_EQ(SecondGivenUp(watch, c.rates, 60), 0) << c.name;
    }
}

TEST(ConnectionWatch, ASecondAtSpeedStartsTheCountAgain) {
    ConnectionWatch watch{StallLimits{}};
    const auto crawlWithABurst = [](int second) { return second % 10 == 0 ? 4 * kMiB : kKiB; };
    EXPECT_EQ(SecondGivenUp(watch, {4 * kMiB, 4 * kMiB, 0}, 60, crawlWithABurst), 0);
}

TEST(ConnectionWatch, ConnectionsThatLeftDoNotCount) {
    ConnectionWatch watch{StallLimits{}};
    const Clock::time_point start = Clock::time_point{} + 1h;
    {
        WatchedConnection fast(watch, start);
        fast.Received(100 * kMiB, start + 1s);
    }
    WatchedConnection crawling(watch, start);
    WatchedConnection other(watch, start);
    for (int second = 2; second < 60; ++second) {
        other.Received(kKiB, start + std::chrono::seconds(second));
        EXPECT_TRUE(crawling.Received(kKiB, start + std::chrono::seconds(second))) << second;
    }
}

}  // namespace
}  // namespace vk
