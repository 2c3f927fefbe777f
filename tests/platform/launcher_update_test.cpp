// Whole launcher processes updating themselves from a store published with velkar-publish and served by
// nginx: an older stand-in checks the release, downloads the offered launcher, swaps and hands over.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "fixtures/standin_protocol.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/text.h"
#include "platform/self_update.h"
#include "platform_fixtures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

constexpr unsigned long kProcessWaitMs = 60000;

class LauncherUpdate : public ::testing::Test {
protected:
    void SetUp() override { WriteFileAtomic(files_.exe, oldLauncher_); }

    // Runs the older stand-in from the test folder against a channel of the store "launcher".
    unsigned long RunOldLauncher(const std::string& channel, unsigned long handOverMs,
                                 unsigned long* processId = nullptr) {
        test::BackgroundProcess old(L"\"" + files_.exe + L"\" update " + std::wstring(channel.begin(), channel.end()) +
                                        L" " + std::to_wstring(handOverMs),
                                    dir_ / L"old.txt");
        if (processId != nullptr) *processId = old.id();
        return old.Wait(kProcessWaitMs);
    }

    // What the older stand-in printed. Wine hands a child the standard handles of its parent, so the
    // file can be read only once the successor has ended too.
    std::string Output() const { return ReadWholeFile(dir_ / L"old.txt"); }

    test::TempDir dir_;
    LauncherFiles files_ = LauncherFiles::Beside(dir_ / L"VelkarLauncher.exe");
    std::string oldLauncher_ = test::FixtureBytes(L"launcher_standin_old.exe");
};

TEST_F(LauncherUpdate, OlderLauncherReplacesItselfAndTheSuccessorCleansUp) {
    const UniqueHandle cleaned(CreateEventW(nullptr, TRUE, FALSE, standin::kCleanedEvent));
    ResetEvent(cleaned.get());
    unsigned long oldId = 0;
    ASSERT_EQ(RunOldLauncher("launcher-good", kHandOverWaitMs, &oldId), 0u);
    ASSERT_EQ(WaitForSingleObject(cleaned.get(), kProcessWaitMs), WAIT_OBJECT_0) << "the successor never finished";

    const std::string report = ReadWholeFile(files_.exe + L".report");
    EXPECT_NE(report.find("version=2.0.0\n"), std::string::npos) << report;
    EXPECT_NE(report.find("predecessor=" + std::to_string(oldId) + "\n"), std::string::npos) << report;
    // The successor holds the guard until it ends; the next test needs it.
    const size_t pid = report.find("pid=");
    ASSERT_NE(pid, std::string::npos) << report;
    const UniqueHandle successor(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(report.substr(pid + 4))));
    if (successor) {
        EXPECT_EQ(WaitForSingleObject(successor.get(), kProcessWaitMs), WAIT_OBJECT_0);
    }
    EXPECT_NE(Output().find("ok=1\r\nerror=\r\nholds-instance=0"), std::string::npos) << Output();
    EXPECT_TRUE(ReadWholeFile(files_.exe) == test::FixtureBytes(L"launcher_standin_new.exe")) << "not the new launcher";
    for (const std::wstring& leftover : {files_.previousExe, files_.newExe, files_.newExeTemp}) {
        EXPECT_FALSE(IsRegularFile(leftover)) << WideToUtf8(leftover);
    }
}

struct FailedUpdate {
    const char* channel;
    unsigned long handOverMs;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const FailedUpdate& c, std::ostream* out) { *out << c.channel; }

class LauncherUpdateFails : public LauncherUpdate, public ::testing::WithParamInterface<FailedUpdate> {};

// The older launcher keeps running from its own file, with the guard held again.
TEST_P(LauncherUpdateFails, KeepsTheOldLauncher) {
    EXPECT_EQ(RunOldLauncher(GetParam().channel, GetParam().handOverMs), 10u) << Output();
    EXPECT_NE(Output().find("ok=0\r\nerror=The new launcher did not start.\r\nholds-instance=1"), std::string::npos)
        << Output();
    EXPECT_TRUE(ReadWholeFile(files_.exe) == oldLauncher_) << "not the old launcher";
    EXPECT_FALSE(IsRegularFile(files_.previousExe));
    EXPECT_FALSE(IsRegularFile(files_.newExe));
}

INSTANTIATE_TEST_SUITE_P(Channels, LauncherUpdateFails,
                         ::testing::Values(FailedUpdate{"launcher-exits", kHandOverWaitMs},
                                           FailedUpdate{"launcher-silent", 1500}),
                         [](const ::testing::TestParamInfo<FailedUpdate>& param) {
                             std::string name = param.param.channel;
                             name.erase(0, name.find('-') + 1);
                             return name;
                         });

}  // namespace
}  // namespace vk
