#include "engine/parallel_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/file_check.h"
#include "infra/errors.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

// True once the flag is set; false when it stays unset for ten seconds (a fault, not a pace).
bool Awaited(const std::atomic<bool>& flag) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

TEST(ParallelCheck, ChecksPastTheFirstBadOneAreAbandoned) {
    if (HashingThreads() < 2) GTEST_SKIP() << "one hashing thread runs nothing past the first bad file";
    // Index 0 turns out bad only while index 1 runs; index 1 then waits to be told it no longer matters.
    std::atomic<bool> secondRunning{false};
    std::atomic<bool> secondAbandoned{false};
    const auto outcomes =
        CheckInParallel({1, 1, 1}, true, [&](std::size_t index, const std::atomic<bool>& abandon, FileHasher&) {
            if (index == 0) return !Awaited(secondRunning);
            secondRunning = true;
            secondAbandoned = Awaited(abandon);
            if (secondAbandoned) throw Cancelled();
            return true;
        });
    EXPECT_TRUE(secondAbandoned.load());
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].state, CheckOutcome::State::Bad);
    EXPECT_EQ(outcomes[1].state, CheckOutcome::State::Failed);
    EXPECT_EQ(outcomes[2].state, CheckOutcome::State::NotRun);
}

TEST(ParallelCheck, AbandonedHashEndsAtTheNextBlock) {
    test::TempDir dir;
    test::WriteTestFile(dir / L"a.pak", "content");
    const std::atomic<bool> stop{false};
    const std::atomic<bool> abandon{true};
    std::atomic<std::uint64_t> bytesDone{0};
    FileHasher hasher;
    EXPECT_THROW(
        HashInstalledFile(dir / L"a.pak", {"a.pak", 7, std::string(64, '0'), "", {}}, hasher, stop, abandon, bytesDone),
        Cancelled);
}

}  // namespace
}  // namespace vk
