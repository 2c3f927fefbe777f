// Updates, pauses, requests of other programs and the refusal of work while the launcher is busy.
#include <windows.h>

#include <gtest/gtest.h>

#include "controller/handlers.h"
#include "controller/tasks.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "recording_effects.h"

namespace vk {
namespace {

using test::LauncherFixture;
using test::SampleRelease;
using Events = std::vector<std::string>;

std::unique_ptr<UpdateResult> Finished(bool ok, bool cancelled = false, std::string error = {}) {
    auto result = std::make_unique<UpdateResult>();
    result->ok = ok;
    result->cancelled = cancelled;
    result->error = std::move(error);
    return result;
}

// A launcher that knows release b2 and whose install folder holds `installed`.
void Known(LauncherFixture& f, const InstalledState& installed) {
    f.app.release = SampleRelease("b2");
    f.app.releaseKnown = true;
    f.Install(f.app.release, installed);
    f.app.installed = installed;
    RefreshInstallState(f.app, f.effects);
    f.effects.Take();
}

TEST(UpdateFinished, ReachesTheStateOfTheOutcomeAndReloadsTheInstallation) {
    struct Case {
        const char* label;
        bool installedAfter;  // the update recorded the release in installed.json
        std::unique_ptr<UpdateResult> (*result)();
        LauncherState expected;
        std::wstring text;
        Events events;
    };
    const Case cases[] = {
        {"done", true, [] { return Finished(true); }, LauncherState::Ready, L"", {"stop 1", "runtime"}},
        {"paused", false, [] { return Finished(false, true); }, LauncherState::Paused, L"", {"stop 1"}},
        {"failed",
         false,
         [] { return Finished(false, false, "Disk full."); },
         LauncherState::UpdateFailed,
         L"Disk full.",
         {"stop 1"}},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        Known(f, test::InstalledFrom(SampleRelease("b1"), false));
        ASSERT_TRUE(StartUpdate(f.app, f.effects, false)) << c.label;
        EXPECT_EQ(f.effects.Take(), (Events{"arm 1 250", "task update"})) << c.label;
        ASSERT_EQ(f.app.machine.state, LauncherState::Updating) << c.label;

        // What the update left on disk: the new build, or the files of the old one it kept.
        InstalledState onDisk = test::InstalledFrom(c.installedAfter ? f.app.release : SampleRelease("b1"), false);
        onDisk.files["Extra/partial.bin"] = {std::string(64, 'e'), 1};
        f.updater().SaveInstalledState(onDisk);
        OnUpdateFinished(f.app, f.effects, c.result());
        EXPECT_EQ(f.app.machine.state, c.expected) << c.label;
        EXPECT_EQ(f.app.machine.statusText, c.text) << c.label;
        EXPECT_EQ(f.effects.Take(), c.events) << c.label;
        EXPECT_EQ(f.app.installed.files.count("Extra/partial.bin"), 1u) << c.label;
    }
}

TEST(Pause, ShowsAtOnceThenTheUpdateReportsPausedAndResumeRepeatsTheMode) {
    LauncherFixture f;
    Known(f, {});
    ASSERT_TRUE(StartUpdate(f.app, f.effects, true));
    const int repaints = f.effects.repaints;
    RequestPause(f.app, f.effects);
    EXPECT_TRUE(f.app.machine.pauseRequested);
    EXPECT_TRUE(f.app.stopRequested.load());
    EXPECT_EQ(f.effects.repaints, repaints + 1);
    EXPECT_EQ(f.app.machine.state, LauncherState::Updating);

    OnUpdateFinished(f.app, f.effects, Finished(false, true));
    EXPECT_EQ(f.app.machine.state, LauncherState::Paused);
    EXPECT_FALSE(f.app.machine.pauseRequested);
    f.effects.Take();

    // Resume: a new update in the interrupted one's mode, with the stop flag and the speed reset.
    ASSERT_TRUE(StartUpdate(f.app, f.effects, f.app.machine.repairMode));
    EXPECT_TRUE(f.app.machine.repairMode);
    EXPECT_FALSE(f.app.stopRequested.load());
    EXPECT_EQ(f.app.progress.phase.load(), UpdatePhase::Verifying);
    EXPECT_EQ(f.effects.Take(), (Events{"arm 1 250", "task update"}));
}

TEST(StartUpdate, WhileTheGameRunsOnlyTellsThePlayer) {
    LauncherFixture f;
    Known(f, {});
    f.effects.gameRunning = true;
    useEnglish = true;
    EXPECT_FALSE(StartUpdate(f.app, f.effects, false));
    EXPECT_EQ(f.effects.Take(), Events{"message The game is running. Close it before updating."});
    EXPECT_EQ(f.app.machine.state, LauncherState::NotInstalled);
}

TEST(BusyLauncher, RefusesEveryStartThatWouldRunASecondTask) {
    const LauncherState busy[] = {LauncherState::Checking, LauncherState::Updating, LauncherState::SelfUpdating,
                                  LauncherState::PreparingRuntime};
    for (LauncherState state : busy) {
        LauncherFixture f;
        Known(f, test::InstalledFrom(SampleRelease("b1"), false));
        f.app.machine.state = state;
        f.app.machine.releaseCheckRunning = state == LauncherState::Checking;
        f.app.machine.requestPending = true;
        f.app.release.launcher.launcherVersion = "9.0.0";
        f.WriteMeta(L"repair.request", "");
        const auto label = static_cast<int>(state);
        EXPECT_FALSE(StartUpdate(f.app, f.effects, false)) << label;
        EXPECT_FALSE(StartUpdate(f.app, f.effects, true)) << label;
        EXPECT_FALSE(StartReleaseCheck(f.app, f.effects)) << label;
        EXPECT_FALSE(StartSelfUpdate(f.app, f.effects)) << label;
        ProcessRequests(f.app, f.effects);
        OnActivate(f.app, f.effects);
        OnTimer(f.app, f.effects, TimerId::RequestRetry);
        EXPECT_TRUE(f.effects.Take().empty()) << label;
        EXPECT_EQ(f.app.machine.state, state) << label;
    }
}

TEST(BusyLauncher, TheFirstCheckStartsFromTheInitialStateAndASecondWaitsForItsResult) {
    LauncherFixture f;
    ASSERT_EQ(f.app.machine.state, LauncherState::Checking);
    EXPECT_TRUE(StartReleaseCheck(f.app, f.effects));
    EXPECT_FALSE(StartReleaseCheck(f.app, f.effects));
    EXPECT_EQ(f.effects.Take(), (Events{"task news", "task check"}));
    auto failed = std::make_unique<ReleaseCheckResult>();
    failed->error = "offline";
    OnReleaseChecked(f.app, f.effects, std::move(failed));
    EXPECT_TRUE(StartReleaseCheck(f.app, f.effects)) << "Retry";
}

TEST(BusyLauncher, ARequestAndACommandQueuedBehindAnUpdateStartNothingUntilItEnds) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b1"), false));
    ASSERT_TRUE(StartUpdate(f.app, f.effects, false));
    f.effects.Take();

    // Another program asks for the full map, and the player clicks Repair, while the update runs.
    f.WriteMeta(L"request.json", "{\"groups\": [\"island\"]}");
    OnActivate(f.app, f.effects);
    EXPECT_TRUE(f.app.machine.requestPending);
    EXPECT_FALSE(StartUpdate(f.app, f.effects, true));
    EXPECT_TRUE(f.effects.Take().empty());
    EXPECT_FALSE(f.app.machine.repairMode);

    // The update ends with the release installed; the request now makes it incomplete: one more update.
    f.Install(f.app.release, test::InstalledFrom(f.app.release, false));
    OnUpdateFinished(f.app, f.effects, Finished(true));
    EXPECT_EQ(f.effects.Take(), (Events{"stop 1", "arm 1 250", "task update"}));
    EXPECT_FALSE(f.app.machine.requestPending);
    EXPECT_TRUE(f.app.fullMapSelected);
    EXPECT_FALSE(f.MetaExists(L"request.json"));
}

TEST(Requests, AContentRequestMakesTheNextCheckUpdateAndStartsTheUpdate) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b2"), false));
    ASSERT_EQ(f.app.machine.state, LauncherState::Ready);

    f.WriteMeta(L"request.json", "{\"groups\": [\"island\"]}");
    OnActivate(f.app, f.effects);
    EXPECT_TRUE(f.app.machine.requestPending);
    EXPECT_EQ(f.app.machine.state, LauncherState::Checking);
    EXPECT_EQ(f.effects.Take(), (Events{"task news", "task check"}));

    auto checked = std::make_unique<ReleaseCheckResult>();
    checked->ok = true;
    checked->release = f.app.release;
    checked->installed = f.app.installed;
    OnReleaseChecked(f.app, f.effects, std::move(checked));
    EXPECT_EQ(f.app.machine.state, LauncherState::Updating);
    EXPECT_FALSE(f.app.machine.repairMode);
    EXPECT_FALSE(f.app.machine.requestPending);
    EXPECT_EQ(f.effects.Take(), (Events{"arm 1 250", "task update"}));
}

TEST(Requests, OnlyGroupsTheReleaseDefinesAreTakenFromARequest) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b2"), false));
    f.WriteMeta(L"request.json", "{\"groups\": [\"island\", \"..\\\\..\\\\Windows\", \"hd\", \"\"]}");
    RefreshInstallState(f.app, f.effects);
    EXPECT_EQ(f.app.machine.state, LauncherState::UpdateAvailable);
    EXPECT_TRUE(f.app.fullMapSelected);
    EXPECT_EQ(f.updater().LoadSelectedGroups(), std::set<std::string>{"island"});

    // Naming nothing the release knows changes nothing and fails nothing.
    f.WriteMeta(L"request.json", "{\"groups\": [\"hd\"]}");
    RefreshInstallState(f.app, f.effects);
    EXPECT_EQ(f.app.machine.state, LauncherState::UpdateAvailable);
    EXPECT_FALSE(f.MetaExists(L"request.json"));
    EXPECT_EQ(f.updater().LoadSelectedGroups(), std::set<std::string>{"island"});
}

TEST(Requests, ARequestThatCannotBeMergedIsANoticeAndTheLauncherCarriesOn) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b2"), false));
    ASSERT_EQ(f.app.machine.state, LauncherState::Ready);
    f.WriteMeta(L"groups.json", "{\"groups\": []}");
    f.WriteMeta(L"request.json", "{\"groups\": [\"island\"]}");
    {
        // Held without delete sharing, groups.json cannot be replaced.
        const std::wstring groups = f.updater().MetadataDir() + L"\\groups.json";
        UniqueHandle holder(CreateFileW(groups.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.valid());
        EXPECT_NO_THROW(ReloadFullMapFlag(f.app));
        EXPECT_FALSE(f.app.fullMapSelected);
        EXPECT_NE(f.app.requestNote.find(L"groups.json"), std::wstring::npos);

        EXPECT_NO_THROW(RefreshInstallState(f.app, f.effects));
        EXPECT_EQ(f.app.machine.state, LauncherState::UpdateAvailable);
        EXPECT_FALSE(f.app.requestNote.empty());
        EXPECT_TRUE(f.MetaExists(L"request.json"));
    }
    // Once the file can be written, the request is merged and the notice goes.
    RefreshInstallState(f.app, f.effects);
    EXPECT_TRUE(f.app.fullMapSelected);
    EXPECT_TRUE(f.app.requestNote.empty());
}

TEST(Requests, ARepairWaitsForTheGameThenRunsAndStartsTheGameAgain) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b2"), false));
    f.WriteMeta(L"repair.request", "");
    f.app.machine.requestPending = true;
    f.effects.gameRunning = true;

    ProcessRequests(f.app, f.effects);
    EXPECT_EQ(f.effects.Take(), Events{"arm 3 500"});
    EXPECT_EQ(f.app.machine.state, LauncherState::Ready);
    OnTimer(f.app, f.effects, TimerId::RequestRetry);
    EXPECT_EQ(f.effects.Take(), Events{"arm 3 500"});

    f.effects.gameRunning = false;
    OnTimer(f.app, f.effects, TimerId::RequestRetry);
    EXPECT_EQ(f.effects.Take(), (Events{"stop 3", "arm 1 250", "task update"}));
    EXPECT_TRUE(f.app.machine.repairMode && f.app.machine.repairPending);
    EXPECT_FALSE(f.app.machine.requestPending);

    OnUpdateFinished(f.app, f.effects, Finished(true));
    EXPECT_EQ(f.effects.Take(), (Events{"stop 1", "runtime", "launch", "minimize"}));
    EXPECT_FALSE(f.MetaExists(L"repair.request"));
    EXPECT_FALSE(f.app.machine.repairPending || f.app.machine.offlineLaunch);
    EXPECT_EQ(f.app.machine.state, LauncherState::Ready);
}

TEST(Requests, ARepairThatNeedsTheRuntimeFirstLeavesTheGameStartToTheRuntimeStep) {
    LauncherFixture f;
    Known(f, test::InstalledFrom(SampleRelease("b2"), false));
    f.app.machine.repairPending = true;
    f.app.machine.offlineLaunch = true;
    ProcessRequests(f.app, f.effects);
    f.effects.Take();
    f.effects.runtimeStarts = true;
    OnUpdateFinished(f.app, f.effects, Finished(true));
    EXPECT_EQ(f.effects.Take(), (Events{"stop 1", "runtime", "task runtime"}));
    EXPECT_FALSE(f.app.machine.offlineLaunch);
}

TEST(Timers, ProgressSamplesTheSpeedWhileUpdatingAndTheNewsTimerRefreshes) {
    LauncherFixture f;
    Known(f, {});
    ASSERT_TRUE(StartUpdate(f.app, f.effects, false));
    f.effects.Take();
    f.app.progress.phase = UpdatePhase::Downloading;
    const std::uint64_t ticks[] = {1000, 1250, 1500, 1750, 2000};
    for (std::uint64_t tick : ticks) {
        f.effects.now = tick;
        f.app.progress.bytesDone = (tick - 1000) * 4096;  // 4 MiB per second
        OnTimer(f.app, f.effects, TimerId::Progress);
    }
    EXPECT_DOUBLE_EQ(f.app.speed.bytesPerSecond(), 4096.0 * 1000);
    const int repaints = f.effects.repaints;

    f.app.machine.state = LauncherState::Ready;
    OnTimer(f.app, f.effects, TimerId::Progress);
    EXPECT_EQ(f.effects.repaints, repaints);
    f.app.machine.state = LauncherState::SelfUpdating;
    OnTimer(f.app, f.effects, TimerId::Progress);
    EXPECT_EQ(f.effects.repaints, repaints + 1);

    OnTimer(f.app, f.effects, TimerId::News);
    EXPECT_EQ(f.effects.Take(), Events{"task news"});
    EXPECT_EQ(f.app.machine.state, LauncherState::SelfUpdating);
}

TEST(NewsLoaded, ARefreshReplacesTheListAndAFailureKeepsIt) {
    LauncherFixture f;
    auto failed = std::make_unique<NewsResult>();
    OnNewsLoaded(f.app, f.effects, std::move(failed));
    EXPECT_TRUE(f.app.newsLoaded);
    EXPECT_TRUE(f.app.news.empty());

    auto loaded = std::make_unique<NewsResult>();
    loaded->ok = true;
    loaded->items = {{"2026-12-01", "标题", "Title", "", ""}};
    OnNewsLoaded(f.app, f.effects, std::move(loaded));
    ASSERT_EQ(f.app.news.size(), 1u);

    OnNewsLoaded(f.app, f.effects, std::make_unique<NewsResult>());
    ASSERT_EQ(f.app.news.size(), 1u);
    EXPECT_EQ(f.app.news[0].titleEn, "Title");
    EXPECT_EQ(f.effects.repaints, 3);
}

}  // namespace
}  // namespace vk
