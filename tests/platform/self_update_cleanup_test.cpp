#include <windows.h>

#include <gtest/gtest.h>

#include "fixtures/standin_protocol.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/text.h"
#include "platform/self_update_cleanup.h"
#include "platform_fixtures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

class Cleanup : public ::testing::Test {
protected:
    void SetUp() override {
        for (const std::wstring& leftover : {files_.previousExe, files_.newExe, files_.newExeTemp}) {
            WriteFileAtomic(leftover, "left by a swap");
        }
        options_.files = files_;
        options_.finished = [event = finished_.get()] { SetEvent(event); };
    }

    bool WaitUntilFinished() const { return WaitForSingleObject(finished_.get(), 30000) == WAIT_OBJECT_0; }

    void ExpectNoLeftovers() const {
        for (const std::wstring& leftover : {files_.previousExe, files_.newExe, files_.newExeTemp}) {
            EXPECT_FALSE(IsRegularFile(leftover)) << WideToUtf8(leftover);
        }
    }

    test::TempDir dir_;
    LauncherFiles files_ = LauncherFiles::Beside(dir_ / L"VelkarLauncher.exe");
    UniqueHandle finished_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    CleanupOptions options_;
};

TEST_F(Cleanup, OrdinaryStartRemovesWhatASwapLeftBehind) {
    SignalReadyAndClean(0, options_);
    ASSERT_TRUE(WaitUntilFinished());
    ExpectNoLeftovers();
}

// The predecessor still runs from exe.old: the clean-up waits for it to end before deleting the file,
// and sets the predecessor's ready event first.
TEST_F(Cleanup, SelfUpdatedStartSignalsThePredecessorAndWaitsForIt) {
    const UniqueHandle held(CreateEventW(nullptr, TRUE, FALSE, standin::kHeldEvent));
    const UniqueHandle quit(CreateEventW(nullptr, TRUE, FALSE, standin::kQuitEvent));
    ResetEvent(held.get());
    ResetEvent(quit.get());
    test::BackgroundProcess predecessor(L"\"" + test::FixturePath(L"launcher_standin_old.exe") + L"\" hold",
                                        dir_ / L"predecessor.txt");
    ASSERT_EQ(WaitForSingleObject(held.get(), 10000), WAIT_OBJECT_0);
    const UniqueHandle ready(CreateEventW(nullptr, TRUE, FALSE, ReadyEventName(predecessor.id()).c_str()));

    SignalReadyAndClean(predecessor.id(), options_);
    EXPECT_EQ(WaitForSingleObject(ready.get(), 0), WAIT_OBJECT_0) << "set before the call returns";
    EXPECT_EQ(WaitForSingleObject(finished_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "cleaned too early";
    EXPECT_TRUE(IsRegularFile(files_.previousExe));

    SetEvent(quit.get());
    ASSERT_TRUE(WaitUntilFinished());
    EXPECT_FALSE(predecessor.Running());
    ExpectNoLeftovers();
}

}  // namespace
}  // namespace vk
