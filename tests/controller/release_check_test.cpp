// What the launcher decides when a release check reports back.
#include <gtest/gtest.h>

#include "controller/commands.h"
#include "controller/handlers.h"
#include "controller/play.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "recording_effects.h"
#include "ui/commands.h"

namespace vk {
namespace {

using test::LauncherFixture;
using test::SampleRelease;

std::unique_ptr<ReleaseCheckResult> Checked(const RemoteRelease& release, const InstalledState& installed) {
    auto result = std::make_unique<ReleaseCheckResult>();
    result->ok = true;
    result->release = release;
    result->installed = installed;
    return result;
}

std::unique_ptr<ReleaseCheckResult> CheckFailedWith(const std::string& error) {
    auto result = std::make_unique<ReleaseCheckResult>();
    result->error = error;
    return result;
}

TEST(ReleaseChecked, DecidesTheStateFromTheReleaseAndTheInstallation) {
    enum class Disk { Nothing, OtherBuild, Release, ReleaseWithoutExecutable };
    struct Case {
        const char* label;
        Disk disk;
        std::string minLauncher;
        std::string offeredLauncher;
        bool selfUpdateEnabled;
        LauncherState expected;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {"nothing installed", Disk::Nothing, "2.0.0", "", true, LauncherState::NotInstalled, {}},
        {"another build", Disk::OtherBuild, "2.0.0", "", true, LauncherState::UpdateAvailable, {}},
        {"this build", Disk::Release, "2.4.0", "", true, LauncherState::Ready, {}},
        {"executable deleted", Disk::ReleaseWithoutExecutable, "2.0.0", "", true, LauncherState::UpdateAvailable, {}},
        {"older offer", Disk::Release, "2.0.0", "2.3.9", true, LauncherState::Ready, {}},
        {"launcher too old", Disk::Release, "2.5.0", "", true, LauncherState::LauncherTooOld, {}},
        {"too old, self-update off", Disk::Release, "2.5.0", "2.5.0", false, LauncherState::LauncherTooOld, {}},
        {"newer offer",
         Disk::Release,
         "2.0.0",
         "2.5.0",
         true,
         LauncherState::SelfUpdating,
         {"arm 1 100", "task self-update"}},
        {"too old with an offer",
         Disk::Nothing,
         "2.5.0",
         "2.5.0",
         true,
         LauncherState::SelfUpdating,
         {"arm 1 100", "task self-update"}},
    };
    useEnglish = true;
    for (const Case& c : cases) {
        LauncherFixture f;
        f.app.settings.selfUpdateEnabled = c.selfUpdateEnabled;
        RemoteRelease release = SampleRelease("b2");
        release.minLauncherVersion = c.minLauncher;
        release.launcher.launcherVersion = c.offeredLauncher;
        InstalledState installed;
        if (c.disk == Disk::OtherBuild) installed = test::InstalledFrom(SampleRelease("b1"), false);
        if (c.disk == Disk::Release || c.disk == Disk::ReleaseWithoutExecutable) {
            installed = test::InstalledFrom(release, false);
        }
        if (c.disk == Disk::Release) f.Install(release, installed);

        OnReleaseChecked(f.app, f.effects, Checked(release, installed));
        EXPECT_EQ(f.app.machine.state, c.expected) << c.label;
        EXPECT_EQ(f.effects.Take(), c.events) << c.label;
        EXPECT_TRUE(f.app.releaseKnown && f.app.serverOnline) << c.label;
        EXPECT_EQ(f.app.release.buildId, "b2") << c.label;
        const std::wstring tooOldText =
            c.expected == LauncherState::LauncherTooOld ? L"Please download the new launcher." : L"";
        EXPECT_EQ(f.app.machine.statusText, tooOldText) << c.label;
        // Facts for other programs are published whenever the state is decided.
        EXPECT_EQ(f.MetaExists(L"launcher.path"), c.expected != LauncherState::SelfUpdating) << c.label;
    }
}

TEST(ReleaseChecked, AFailedCheckKeepsTheKnownReleaseAndInstallation) {
    LauncherFixture f;
    const RemoteRelease release = SampleRelease("b1");
    const InstalledState installed = test::InstalledFrom(release, false);
    f.Install(release, installed);
    OnReleaseChecked(f.app, f.effects, Checked(release, installed));
    ASSERT_EQ(f.app.machine.state, LauncherState::Ready);

    f.app.machine.state = LauncherState::Checking;
    OnReleaseChecked(f.app, f.effects, CheckFailedWith("Could not get update info: HTTP 503"));
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_EQ(f.app.machine.statusText, L"Could not get update info: HTTP 503");
    EXPECT_FALSE(f.app.serverOnline);
    EXPECT_TRUE(f.app.releaseKnown);
    EXPECT_EQ(f.app.release.buildId, "b1");
    EXPECT_EQ(f.app.installed.buildId, "b1");
}

std::unique_ptr<ReleaseCheckResult> ExpiredCheck(const RemoteRelease& release, const InstalledState& installed) {
    auto result = CheckFailedWith("The update information has expired. Try again later.");
    result->expired = true;
    result->release = release;
    result->installed = installed;
    return result;
}

TEST(ReleaseChecked, AnExpiredManifestOfTheInstalledBuildLeavesOnlyTheOfflineStart) {
    useEnglish = true;
    LauncherFixture f;
    const RemoteRelease release = SampleRelease("b1");
    const InstalledState installed = test::InstalledFrom(release, false);
    f.Install(release, installed);
    OnReleaseChecked(f.app, f.effects, ExpiredCheck(release, installed));
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_EQ(f.app.machine.statusText, L"The update information has expired. Try again later.");
    // Nothing is updated from it: no repair, and the full map is selected for later, not fetched.
    EXPECT_FALSE(f.app.releaseKnown);
    for (const int command : {CmdRepair, CmdFullMap}) RunCommand(f.app, f.effects, command);
    EXPECT_TRUE(f.effects.Take().empty());
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_TRUE(f.app.fullMapSelected);

    // The game starts offline with the release's command line, and the runtime step comes back to the refusal.
    RunCommand(f.app, f.effects, CmdPlayOffline);
    EXPECT_TRUE(f.app.machine.offlineLaunch);
    EXPECT_EQ(f.effects.Take(), (std::vector<std::string>{"runtime", "launch", "minimize"}));
    EXPECT_EQ(f.app.release.launchPath, release.launchPath);
    f.app.machine.state = LauncherState::PreparingRuntime;
    auto finished = std::make_unique<RuntimeFinished>();
    finished->outcome.kind = RuntimeInstalled;
    OnRuntimeFinished(f.app, f.effects, std::move(finished));
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_EQ(f.app.machine.statusText, L"The update information has expired. Try again later.");

    // A fresh manifest ends it; the full map selected meanwhile is now to be fetched.
    OnReleaseChecked(f.app, f.effects, Checked(release, installed));
    EXPECT_EQ(f.app.machine.state, LauncherState::UpdateAvailable);
    EXPECT_FALSE(f.app.offlineOnly);
}

TEST(ReleaseChecked, AnExpiredManifestOfAnotherBuildStartsNothing) {
    LauncherFixture f;
    const InstalledState installed = test::InstalledFrom(SampleRelease("b1"), false);
    f.Install(SampleRelease("b1"), installed);
    OnReleaseChecked(f.app, f.effects, ExpiredCheck(SampleRelease("b2"), installed));
    EXPECT_EQ(f.app.machine.state, LauncherState::CheckFailed);
    EXPECT_FALSE(f.app.offlineOnly);
    RunCommand(f.app, f.effects, CmdPlayOffline);
    EXPECT_TRUE(f.effects.Take().empty());
    EXPECT_NE(f.app.release.buildId, "b2");
}

TEST(ReleaseChecked, ShowsANewBannerOnceAndKeepsTheOldOneWhenTheNewCannotBeShown) {
    struct Case {
        const char* label;
        std::string shownBefore;
        std::string banner;
        bool accepted;
        std::vector<std::string> events;
        std::string shownAfter;
    };
    const std::string digest(64, 'c');
    const Case cases[] = {
        {"new banner", "", "picture", true, {"image picture"}, digest},
        {"same banner again", digest, "picture", true, {}, digest},
        {"no banner bytes", "", "", true, {}, ""},
        {"undecodable", "", "garbage", false, {"image garbage"}, ""},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        f.app.loadedBannerSha256 = c.shownBefore;
        f.effects.imageAccepted = c.accepted;
        RemoteRelease release = SampleRelease("b1");
        release.launcher.bannerSha256 = digest;
        auto result = Checked(release, {});
        result->banner = c.banner;
        OnReleaseChecked(f.app, f.effects, std::move(result));
        EXPECT_EQ(f.effects.Take(), c.events) << c.label;
        EXPECT_EQ(f.app.loadedBannerSha256, c.shownAfter) << c.label;
    }
}

TEST(SelfUpdateFinished, AFailureIsRememberedAndDecidesTheStateWithoutRetrying) {
    struct Case {
        const char* label;
        std::string minLauncher;
        LauncherState expected;
        std::wstring text;
    };
    const Case cases[] = {
        {"release needs the new launcher", "2.5.0", LauncherState::LauncherTooOld, L"Disk full."},
        {"release works with this launcher", "2.0.0", LauncherState::NotInstalled, L""},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        RemoteRelease release = SampleRelease("b1");
        release.minLauncherVersion = c.minLauncher;
        release.launcher.launcherVersion = "2.5.0";
        OnReleaseChecked(f.app, f.effects, Checked(release, {}));
        ASSERT_EQ(f.app.machine.state, LauncherState::SelfUpdating) << c.label;
        f.effects.Take();

        auto failed = std::make_unique<SelfUpdateResult>();
        failed->error = L"Disk full.";
        OnSelfUpdateFinished(f.app, f.effects, std::move(failed));
        EXPECT_EQ(f.effects.Take(), std::vector<std::string>{"stop 1"}) << c.label;
        EXPECT_EQ(f.app.machine.state, c.expected) << c.label;
        EXPECT_EQ(f.app.machine.statusText, c.text) << c.label;
        EXPECT_TRUE(f.app.selfUpdateFailed) << c.label;
        EXPECT_EQ(f.app.selfUpdateError, L"Disk full.") << c.label;

        // The next check offers the same launcher: no second attempt in this run.
        f.app.machine.state = LauncherState::Checking;
        OnReleaseChecked(f.app, f.effects, Checked(release, {}));
        EXPECT_EQ(f.app.machine.state, c.expected) << c.label;
        EXPECT_TRUE(f.effects.Take().empty()) << c.label;
    }
}

TEST(SelfUpdateFinished, SuccessEndsThisLauncher) {
    LauncherFixture f;
    f.app.machine.state = LauncherState::SelfUpdating;
    auto done = std::make_unique<SelfUpdateResult>();
    done->ok = true;
    OnSelfUpdateFinished(f.app, f.effects, std::move(done));
    EXPECT_EQ(f.effects.Take(), (std::vector<std::string>{"stop 1", "destroy"}));
    EXPECT_FALSE(f.app.selfUpdateFailed);
}

}  // namespace
}  // namespace vk
