// The real tasks against the test store, run from a hidden window's thread: each test waits for the
// result message, never for time.
#include <windows.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "controller/close_rule.h"
#include "controller/handlers.h"
#include "controller/payloads.h"
#include "controller/tasks.h"
#include "hidden_window.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/sha256.h"
#include "infra/text.h"
#include "recording_effects.h"
#include "support/process.h"
#include "support/temp_dir.h"
#include "support/test_env.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

// What the window's services were asked for.
struct ServiceLog {
    std::vector<std::string> images;
    std::vector<std::string> runtimeChecks;  // the build of each release asked about
    std::vector<std::string> appliedLaunchers;
};

class StoreTasks : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        Configure("v1");
        window_ = std::make_unique<test::HiddenLauncherWindow>(app_, Services());
    }

    void Configure(const std::string& channel) {
        app_.updater = test::TestUpdater(channel, dir_ / L"game", dir_ / L"cache");
    }

    WindowServices Services() {
        WindowServices services;
        services.setBackgroundImage = [this](const std::string& bytes) {
            log_.images.push_back(bytes);
            return true;
        };
        services.runtimeHost = [this](const RemoteRelease& release, const std::wstring&, const std::wstring&) {
            log_.runtimeChecks.push_back(release.buildId);
            return test::HostFinding(true);
        };
        services.applySelfUpdate = [this](const std::string& executable, std::wstring& message) {
            log_.appliedLaunchers.push_back(executable);
            message = L"The new launcher did not start.";
            return false;
        };
        return services;
    }

    // Runs until the launcher leaves the busy state it is in.
    void Settle() {
        const LauncherState busy = app_.machine.state;
        ASSERT_TRUE(window_->PumpUntil([&] { return app_.machine.state != busy; }))
            << "still " << static_cast<int>(busy);
    }

    // A release check and the news refresh that goes with it, both reported back.
    void Check() {
        app_.newsLoaded = false;
        ASSERT_TRUE(StartReleaseCheck(app_, window_->effects()));
        Settle();
        ASSERT_TRUE(window_->PumpUntil([&] { return app_.newsLoaded; }));
    }

    test::TempDir dir_;
    AppState app_;
    ServiceLog log_;
    std::unique_ptr<test::HiddenLauncherWindow> window_;
};

TEST_F(StoreTasks, CheckThenUpdateReachesReady) {
    Check();
    ASSERT_EQ(app_.machine.state, LauncherState::NotInstalled) << WideToUtf8(app_.machine.statusText);
    EXPECT_EQ(app_.release.buildId, "v1");
    EXPECT_TRUE(app_.serverOnline);

    ASSERT_TRUE(StartUpdate(app_, window_->effects(), false));
    Settle();
    EXPECT_EQ(app_.machine.state, LauncherState::Ready) << WideToUtf8(app_.machine.statusText);
    EXPECT_EQ(app_.installed.buildId, "v1");
    EXPECT_EQ(log_.runtimeChecks, std::vector<std::string>{"v1"});
    EXPECT_TRUE(IsRegularFile(app_.updater.installDir + L"\\Velkar.exe"));
}

TEST_F(StoreTasks, PauseStopsTheUpdateAndResumeFinishesIt) {
    Check();
    ASSERT_EQ(app_.machine.state, LauncherState::NotInstalled);
    ASSERT_TRUE(StartUpdate(app_, window_->effects(), false));
    RequestPause(app_, window_->effects());
    EXPECT_TRUE(app_.machine.pauseRequested);
    Settle();
    ASSERT_EQ(app_.machine.state, LauncherState::Paused) << WideToUtf8(app_.machine.statusText);
    EXPECT_TRUE(app_.installed.buildId.empty());

    ASSERT_TRUE(StartUpdate(app_, window_->effects(), app_.machine.repairMode));
    Settle();
    EXPECT_EQ(app_.machine.state, LauncherState::Ready) << WideToUtf8(app_.machine.statusText);
    EXPECT_EQ(app_.installed.buildId, "v1");
}

TEST_F(StoreTasks, AFailedCheckShowsTheServersAnswer) {
    Configure("list-missing");
    Check();
    EXPECT_EQ(app_.machine.state, LauncherState::CheckFailed);
    EXPECT_EQ(app_.machine.statusText, L"Could not get update info: HTTP 404");
    EXPECT_FALSE(app_.serverOnline || app_.releaseKnown);
}

TEST_F(StoreTasks, TheReleasesBannerIsFetchedVerifiedShownAndCached) {
    Configure("banner");
    Check();
    ASSERT_EQ(app_.machine.state, LauncherState::NotInstalled) << WideToUtf8(app_.machine.statusText);
    const std::string readme = ReadWholeFile(test::GameTree(L"v1") + L"\\readme.txt");
    EXPECT_EQ(log_.images, std::vector<std::string>{readme});
    EXPECT_EQ(app_.loadedBannerSha256, Sha256Hex(readme));
    EXPECT_EQ(ReadWholeFile(app_.updater.cacheDir + L"\\banner-" + Utf8ToWide(Sha256Hex(readme))), readme);

    // The same banner again is neither shown again nor fetched: the cache answers.
    Check();
    EXPECT_EQ(log_.images.size(), 1u);
}

TEST_F(StoreTasks, ASelfUpdateWhoseApplyFailsContinuesWithTheNormalStates) {
    Configure("launcher-offer");
    // Not Check(): the small launcher download can end while the news is still awaited, so the state is
    // read as soon as the release check leaves Checking.
    ASSERT_TRUE(StartReleaseCheck(app_, window_->effects()));
    Settle();
    ASSERT_EQ(app_.machine.state, LauncherState::SelfUpdating) << WideToUtf8(app_.machine.statusText);
    Settle();
    const std::string readme = ReadWholeFile(test::GameTree(L"v1") + L"\\readme.txt");
    EXPECT_EQ(log_.appliedLaunchers, std::vector<std::string>{readme});
    EXPECT_EQ(app_.selfUpdateBytes.load(), readme.size());
    EXPECT_TRUE(app_.selfUpdateFailed);
    EXPECT_EQ(app_.selfUpdateError, L"The new launcher did not start.");
    EXPECT_EQ(app_.machine.state, LauncherState::NotInstalled);
}

// The offered launcher trickles in far slower than the test lasts: closing the window stops its download
// at once, and nothing is swapped in.
TEST_F(StoreTasks, ClosingTheWindowStopsTheNewLaunchersDownload) {
    app_.updater = test::TestUpdaterAt(test::Servers().fault + "/store/trickleblobs/game", "launcher-offer-big",
                                       dir_ / L"game", dir_ / L"cache");
    Check();
    ASSERT_EQ(app_.machine.state, LauncherState::SelfUpdating) << WideToUtf8(app_.machine.statusText);
    ASSERT_TRUE(window_->PumpUntil([&] { return app_.selfUpdateBytes.load() > 0; }));
    ASSERT_TRUE(ConfirmClose(app_, window_->effects()));
    Settle();
    EXPECT_TRUE(log_.appliedLaunchers.empty());
    EXPECT_TRUE(app_.selfUpdateFailed);
}

TEST_F(StoreTasks, TheNewsTaskReplacesTheList) {
    const std::string folder = "news-" + test::UniqueQuery().substr(3);
    test::WriteTestFile(
        test::WwwDir() + L"\\" + Utf8ToWide(folder) + L"\\Shipping\\LauncherNews.json",
        "{\"news\": [{\"date\": \"2026-12-01\", \"title\": \"Patch\"}, {\"title\": {\"en\": \"Event\"}}]}");
    app_.updater.baseUrl = test::Servers().https + "/" + folder;
    StartNewsRefresh(app_, window_->effects());
    ASSERT_TRUE(window_->PumpUntil([&] { return app_.newsLoaded; }));
    ASSERT_EQ(app_.news.size(), 2u);
    EXPECT_EQ(app_.news[1].titleEn, "Event");
    EXPECT_TRUE(IsRegularFile(app_.updater.cacheDir + L"\\news.json"));
}

TEST_F(StoreTasks, ATaskThatGetsNoThreadStillReportsAFailureToRetryFrom) {
    // The system refusing a thread cannot be produced on demand: the recorder keeps the task, and the
    // test takes the path the window's effects take then.
    test::RecordingEffects recorder;
    ASSERT_TRUE(StartReleaseCheck(app_, recorder));
    ASSERT_EQ(recorder.tasks.size(), 2u);
    recorder.tasks[1].refuse("Cannot start a background task.");
    Settle();
    EXPECT_EQ(app_.machine.state, LauncherState::CheckFailed);
    EXPECT_EQ(app_.machine.statusText, L"Cannot start a background task.");
    EXPECT_TRUE(StartReleaseCheck(app_, recorder)) << "Retry";
}

TEST_F(StoreTasks, MessagesPostedByAnotherProgramAreIgnored) {
    Check();
    ASSERT_EQ(app_.machine.state, LauncherState::NotInstalled);
    const std::size_t outstanding = OutstandingPayloads();
    const std::wstring poster = std::wstring(VELKAR_CONTROLLER_FIXTURES) + L"\\post_message.exe";
    const std::wstring window = std::to_wstring(reinterpret_cast<UINT_PTR>(window_->handle()));
    for (const wchar_t* lParam : {L"0x1234", L"0"}) {
        const test::ProcessResult posted = test::RunProcess(L"\"" + poster + L"\" " + window + L" 32770 " + lParam);
        ASSERT_EQ(posted.exitCode, 0u) << posted.output;
    }
    // Posted after the foreign ones, so it arrives after them.
    constexpr UINT kMarker = WM_APP + 100;
    PostMessageW(window_->handle(), kMarker, 0, 0);
    ASSERT_TRUE(window_->PumpUntil([&] { return !window_->received.empty() && window_->received.back() == kMarker; }));
    EXPECT_EQ(std::count(window_->received.begin(), window_->received.end(), MsgUpdateFinished), 2);
    EXPECT_EQ(app_.machine.state, LauncherState::NotInstalled);
    EXPECT_TRUE(app_.machine.statusText.empty());
    EXPECT_EQ(OutstandingPayloads(), outstanding);
}

}  // namespace
}  // namespace vk
