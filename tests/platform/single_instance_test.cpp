#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "fixtures/standin_protocol.h"
#include "infra/handles.h"
#include "platform/single_instance.h"
#include "platform_fixtures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

// Another launcher process that holds the guard until the test lets it go.
class OtherLauncher {
public:
    explicit OtherLauncher(const std::wstring& outputFile)
        : held_(CreateEventW(nullptr, TRUE, FALSE, standin::kHeldEvent)),
          quit_(CreateEventW(nullptr, TRUE, FALSE, standin::kQuitEvent)),
          process_(Start(held_.get(), quit_.get(), outputFile)) {}

    bool WaitUntilHolding() const {
        const HANDLE waits[] = {held_.get(), process_->handle()};
        return WaitForMultipleObjects(2, waits, FALSE, 10000) == WAIT_OBJECT_0;
    }

    unsigned long LetGo() {
        SetEvent(quit_.get());
        return process_->Wait(10000);
    }

private:
    // Events of an earlier holder must not pass for this one's.
    static std::unique_ptr<test::BackgroundProcess> Start(HANDLE held, HANDLE quit, const std::wstring& outputFile) {
        ResetEvent(held);
        ResetEvent(quit);
        return std::make_unique<test::BackgroundProcess>(
            L"\"" + test::FixturePath(L"launcher_standin_old.exe") + L"\" hold", outputFile);
    }

    UniqueHandle held_;
    UniqueHandle quit_;
    std::unique_ptr<test::BackgroundProcess> process_;
};

class SingleInstance : public ::testing::Test {
protected:
    void TearDown() override { ReleaseSingleInstance(); }

    test::TempDir dir_;
};

TEST_F(SingleInstance, FirstStartHoldsTheGuardAndASecondProcessGivesUpAtOnceWritingNothing) {
    ASSERT_TRUE(AcquireSingleInstance(false));
    EXPECT_TRUE(HoldsSingleInstance());

    const test::ProcessResult second =
        test::RunProcess(L"\"" + test::FixturePath(L"launcher_standin_old.exe") + L"\" hold", dir_.path());
    EXPECT_EQ(second.exitCode, 11u) << "the stand-in's code for another launcher holding the guard";
    EXPECT_EQ(second.output, "");

    ReleaseSingleInstance();
    EXPECT_FALSE(HoldsSingleInstance());
    OtherLauncher next(dir_ / L"next.txt");
    EXPECT_TRUE(next.WaitUntilHolding());
    EXPECT_EQ(next.LetGo(), 0u);
}

TEST_F(SingleInstance, AStartWithoutWaitMakesOneAttempt) {
    OtherLauncher other(dir_ / L"other.txt");
    ASSERT_TRUE(other.WaitUntilHolding());
    unsigned pauses = 0;
    EXPECT_FALSE(AcquireSingleInstance(false, [&] { ++pauses; }));
    EXPECT_EQ(pauses, 0u);
    EXPECT_EQ(other.LetGo(), 0u);
}

// A self-updated start waits for its predecessor: 51 attempts 100 ms apart, about five seconds. The
// pauses are counted instead of slept.
TEST_F(SingleInstance, AWaitingStartGivesUpAfterFiftyOneAttempts) {
    OtherLauncher other(dir_ / L"other.txt");
    ASSERT_TRUE(other.WaitUntilHolding());
    unsigned pauses = 0;
    EXPECT_FALSE(AcquireSingleInstance(true, [&] { ++pauses; }));
    EXPECT_EQ(pauses, kSingleInstanceAttempts - 1);
    EXPECT_EQ(pauses * kSingleInstancePauseMs, 5000u);
    EXPECT_FALSE(HoldsSingleInstance());
    EXPECT_EQ(other.LetGo(), 0u);
}

TEST_F(SingleInstance, AWaitingStartTakesTheGuardOnceThePredecessorHasGone) {
    auto other = std::make_unique<OtherLauncher>(dir_ / L"other.txt");
    ASSERT_TRUE(other->WaitUntilHolding());
    unsigned pauses = 0;
    const bool acquired = AcquireSingleInstance(true, [&] {
        if (++pauses == 3) {
            EXPECT_EQ(other->LetGo(), 0u);
        }
    });
    EXPECT_TRUE(acquired);
    EXPECT_EQ(pauses, 3u);
    EXPECT_TRUE(HoldsSingleInstance());
}

}  // namespace
}  // namespace vk
