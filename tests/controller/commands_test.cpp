// The command table: when each command may run, what the primary button does in each state, and
// that a command whose button the current state disables does nothing even if its click was queued
// before the repaint.
#include <windows.h>

#include <gtest/gtest.h>

#include "controller/commands.h"
#include "controller/handlers.h"
#include "controller/launcher_view_of.h"
#include "controller/tasks.h"
#include "engine/install_layout.h"
#include "infra/language_portable.h"
#include "recording_effects.h"
#include "ui/commands.h"

namespace vk {
namespace {

using test::LauncherFixture;
using test::SampleRelease;
using Events = std::vector<std::string>;

TEST(CommandRules, EachStateEnablesItsCommands) {
    struct Row {
        LauncherState state;
        bool primary;
        bool folder;  // also the full map
        bool repair;
        bool offline;
    };
    const Row rows[] = {
        {LauncherState::Checking, false, false, false, false},
        {LauncherState::CheckFailed, true, true, true, false},
        {LauncherState::NotInstalled, true, true, true, false},
        {LauncherState::UpdateAvailable, true, true, true, false},
        {LauncherState::Ready, true, true, true, true},
        {LauncherState::Updating, true, false, false, false},
        {LauncherState::Paused, true, true, true, false},
        {LauncherState::UpdateFailed, true, true, true, false},
        {LauncherState::LauncherTooOld, false, true, false, false},
        {LauncherState::SelfUpdating, false, false, false, false},
        {LauncherState::PreparingRuntime, false, false, false, false},
    };
    for (const Row& row : rows) {
        const CommandFacts facts{row.state, false, true, true};
        const auto label = static_cast<int>(row.state);
        EXPECT_EQ(CommandEnabled(CmdPrimary, facts), row.primary) << label;
        EXPECT_EQ(CommandEnabled(CmdInstallFolder, facts), row.folder) << label;
        EXPECT_EQ(CommandEnabled(CmdFullMap, facts), row.folder) << label;
        EXPECT_EQ(CommandEnabled(CmdRepair, facts), row.repair) << label;
        EXPECT_EQ(CommandEnabled(CmdPlayOffline, facts), row.offline) << label;
        for (int always : {CmdClose, CmdMinimize, CmdLanguage, CmdInfo}) {
            EXPECT_TRUE(CommandEnabled(always, facts)) << label << " " << always;
        }
    }
    // A requested pause disables the primary button until the update reports back; repair needs a
    // known release and something installed.
    EXPECT_FALSE(CommandEnabled(CmdPrimary, {LauncherState::Updating, true, true, true}));
    EXPECT_FALSE(CommandEnabled(CmdRepair, {LauncherState::Ready, false, false, true}));
    EXPECT_FALSE(CommandEnabled(CmdRepair, {LauncherState::NotInstalled, false, true, false}));
    EXPECT_FALSE(CommandEnabled(CmdRepair, {LauncherState::CheckFailed, false, false, false}));
    EXPECT_TRUE(CommandEnabled(CmdPrimary, {LauncherState::CheckFailed, false, false, false}));
    EXPECT_TRUE(CommandEnabled(CmdInstallFolder, {LauncherState::CheckFailed, false, false, false}));
    EXPECT_FALSE(CommandEnabled(0, {LauncherState::Ready, false, true, true}));
    // After a check that refused an expired manifest of the installed build, only the offline start.
    EXPECT_TRUE(CommandEnabled(CmdPlayOffline, {LauncherState::CheckFailed, false, false, true, true}));
    EXPECT_FALSE(CommandEnabled(CmdRepair, {LauncherState::CheckFailed, false, false, true, true}));
    EXPECT_FALSE(CommandEnabled(CmdPlayOffline, {LauncherState::PreparingRuntime, false, false, true, true}));
}

TEST(PrimaryAction, DoesWhatTheStateOffers) {
    struct Case {
        LauncherState state;
        bool repairMode;
        Events events;
    };
    const Case cases[] = {
        {LauncherState::CheckFailed, false, {"task news", "task check"}},
        {LauncherState::NotInstalled, false, {"arm 1 250", "task update"}},
        {LauncherState::UpdateAvailable, true, {"arm 1 250", "task update"}},
        {LauncherState::Paused, true, {"arm 1 250", "task update"}},
        {LauncherState::UpdateFailed, false, {"arm 1 250", "task update"}},
        {LauncherState::Ready, false, {"arm 1 250", "task verify"}},
        {LauncherState::Checking, false, {}},
        {LauncherState::LauncherTooOld, false, {}},
        {LauncherState::SelfUpdating, false, {}},
        {LauncherState::PreparingRuntime, false, {}},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        f.app.machine.state = c.state;
        f.app.machine.repairMode = c.repairMode;
        PrimaryAction(f.app, f.effects);
        EXPECT_EQ(f.effects.Take(), c.events) << static_cast<int>(c.state);
        // Download and Update never repair; Resume and Retry repeat the interrupted update's mode.
        const bool repeats = c.state == LauncherState::Paused || c.state == LauncherState::UpdateFailed;
        if (c.events.size() == 2 && c.events[1] == "task update") {
            EXPECT_EQ(f.app.machine.repairMode, repeats && c.repairMode) << static_cast<int>(c.state);
        }
    }
}

TEST(PrimaryAction, PausesARunningUpdateOnceAndTheKeyboardFollowsTheSameRule) {
    LauncherFixture f;
    f.app.machine.state = LauncherState::Updating;
    RunCommand(f.app, f.effects, CmdPrimary);
    EXPECT_TRUE(f.app.stopRequested.load());
    EXPECT_TRUE(f.app.machine.pauseRequested);
    // Enter pressed again while the pause is pending: the button is disabled, nothing happens.
    f.app.stopRequested = false;
    RunCommand(f.app, f.effects, CmdPrimary);
    EXPECT_FALSE(f.app.stopRequested.load());
}

TEST(Commands, LanguageSwitchesAndIsSavedAndStillSwitchesWhenTheFileCannotBeWritten) {
    for (const bool fail : {false, true}) {
        LauncherFixture f;
        useEnglish = true;
        if (fail) f.BlockSettings();
        RunCommand(f.app, f.effects, CmdLanguage);
        EXPECT_FALSE(useEnglish.load()) << fail;
        EXPECT_TRUE(f.effects.Take().empty()) << fail;
        EXPECT_EQ(f.SettingsFileText(), fail ? "" : "Language=zh\n") << fail;
        EXPECT_GT(f.effects.repaints, 0) << fail;
        RunCommand(f.app, f.effects, CmdLanguage);
        EXPECT_TRUE(useEnglish.load()) << fail;
    }
}

TEST(Commands, CloseAndMinimizeGoThroughTheWindowAndInfoDoesNothing) {
    LauncherFixture f;
    f.app.machine.state = LauncherState::SelfUpdating;
    RunCommand(f.app, f.effects, CmdClose);
    RunCommand(f.app, f.effects, CmdMinimize);
    RunCommand(f.app, f.effects, CmdInfo);
    EXPECT_EQ(f.effects.Take(), (Events{"close", "minimize"}));
}

// A result starts an update while a click on a button of the previous frame is still queued: the
// click reaches the command handler before any repaint, and must not act on the new state.
TEST(Commands, AClickQueuedBeforeAStateChangeDoesNothingTheNewStateForbids) {
    for (const int command : {CmdRepair, CmdInstallFolder, CmdFullMap, CmdPlayOffline}) {
        LauncherFixture f;
        useEnglish = true;
        f.app.release = SampleRelease("b2");
        f.app.releaseKnown = true;
        f.Install(f.app.release, test::InstalledFrom(f.app.release, true));
        f.app.installed = test::InstalledFrom(f.app.release, true);
        f.app.fullMapSelected = false;
        RefreshInstallState(f.app, f.effects);
        ASSERT_EQ(f.app.machine.state, LauncherState::Ready);
        EXPECT_TRUE(ViewOf(f.app, 0).enabled[command]) << command;
        // Another program asks for a repair; the retry timer's tick starts it.
        f.WriteMeta(kRepairRequestFile, "");
        OnTimer(f.app, f.effects, TimerId::RequestRetry);
        ASSERT_EQ(f.app.machine.state, LauncherState::Updating);
        EXPECT_FALSE(ViewOf(f.app, 0).enabled[command]) << command;  // the next frame greys it out
        f.effects.Take();

        f.effects.pickedFolder = f.dir / L"elsewhere";
        RunCommand(f.app, f.effects, command);
        EXPECT_EQ(f.effects.Take(), Events{}) << command;
        EXPECT_EQ(f.app.machine.state, LauncherState::Updating) << command;
        EXPECT_EQ(f.app.updater.installDir, f.dir / L"game") << command;
        EXPECT_FALSE(f.MetaExists(kGroupsFile)) << command;
        EXPECT_FALSE(f.app.machine.offlineLaunch) << command;
    }
}

}  // namespace
}  // namespace vk
