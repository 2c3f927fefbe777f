// Play: the file check before the start, the question about a bad file and its three answers, the
// runtime step, and answers that arrive after the world has moved on.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "controller/commands.h"
#include "controller/handlers.h"
#include "controller/play.h"
#include "engine/install_layout.h"
#include "infra/language_portable.h"
#include "recording_effects.h"
#include "ui/commands.h"

namespace vk {
namespace {

using test::LauncherFixture;
using test::SampleRelease;
using Events = std::vector<std::string>;

const std::string kQuestion =
    "message Game file missing or changed: Bin/Game.exe\n\nYes: repair official files and restart.\n"
    "No: start offline.\nCancel: return to the launcher.";

std::unique_ptr<VerifyResult> Verified(std::string problem, bool cancelled = false) {
    auto result = std::make_unique<VerifyResult>();
    result->problem = std::move(problem);
    result->cancelled = cancelled;
    return result;
}

// A complete installation of release b2 (with or without the full map), the file check running.
void Checking(LauncherFixture& f, bool withFullMap = false) {
    useEnglish = true;
    f.app.release = SampleRelease("b2");
    f.app.releaseKnown = true;
    f.app.installed = test::InstalledFrom(f.app.release, withFullMap);
    f.Install(f.app.release, f.app.installed);
    RefreshInstallState(f.app, f.effects);
    ASSERT_EQ(f.app.machine.state, LauncherState::Ready);
    RunCommand(f.app, f.effects, CmdPrimary);
    ASSERT_EQ(f.app.machine.state, LauncherState::Updating);
    ASSERT_EQ(f.effects.Take(), (Events{"arm 1 250", "task verify"}));
}

std::ptrdiff_t Count(const Events& events, const std::string& name) {
    return std::count(events.begin(), events.end(), name);
}

TEST(Play, ACleanCheckStartsTheGameOnlineAfterTheRuntimeStep) {
    for (const bool runtimeStarts : {false, true}) {
        LauncherFixture f;
        Checking(f);
        f.app.machine.offlineLaunch = true;
        f.effects.runtimeStarts = runtimeStarts;
        OnVerifyFinished(f.app, f.effects, Verified(""));
        EXPECT_EQ(f.app.machine.state, runtimeStarts ? LauncherState::PreparingRuntime : LauncherState::Ready);
        EXPECT_FALSE(f.app.machine.offlineLaunch);
        const Events expected = runtimeStarts ? Events{"stop 1", "runtime", "task runtime"}
                                              : Events{"stop 1", "runtime", "launch", "minimize"};
        EXPECT_EQ(f.effects.Take(), expected);
    }
}

TEST(Play, APausedCheckReturnsToReadyAndStartsNothing) {
    LauncherFixture f;
    Checking(f);
    OnVerifyFinished(f.app, f.effects, Verified("", true));
    EXPECT_EQ(f.app.machine.state, LauncherState::Ready);
    EXPECT_EQ(f.effects.Take(), Events{"stop 1"});
}

TEST(Play, TheQuestionAboutABadFileRepairsStartsOfflineOrGoesBack) {
    struct Case {
        int answer;
        Events after;  // what follows the question
        bool repairPending;
        bool offline;
    };
    const Case cases[] = {
        {IDYES, {"stop 3", "arm 1 250", "task update"}, true, false},
        {IDNO, {"runtime", "launch", "minimize"}, false, true},
        {IDCANCEL, {}, false, false},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        Checking(f);
        f.effects.answer = c.answer;
        OnVerifyFinished(f.app, f.effects, Verified("Bin/Game.exe"));
        Events expected{"stop 1", kQuestion};
        expected.insert(expected.end(), c.after.begin(), c.after.end());
        EXPECT_EQ(f.effects.Take(), expected) << c.answer;
        EXPECT_EQ(f.app.machine.repairPending, c.repairPending) << c.answer;
        EXPECT_EQ(f.app.machine.offlineLaunch, c.offline) << c.answer;
        EXPECT_EQ(f.app.machine.repairMode, c.repairPending) << c.answer;
    }
}

TEST(Play, ARequestOfAnotherProgramWinsOverTheGameStart) {
    LauncherFixture f;
    Checking(f);
    f.app.machine.requestPending = true;
    f.WriteMeta(kRepairRequestFile, "");
    OnVerifyFinished(f.app, f.effects, Verified(""));
    EXPECT_EQ(f.effects.Take(), (Events{"stop 1", "stop 3", "arm 1 250", "task update"}));
    EXPECT_TRUE(f.app.machine.repairMode);
}

// Another program asks for content while the check runs (a second start: the busy launcher only notes
// it). The check's end takes the request up: missing content is fetched; a request for content that is
// already there lets the game start as Play asked.
TEST(Play, AContentRequestDuringTheCheckIsFetchedOrLetsTheGameStart) {
    struct Case {
        const char* label;
        bool fullMapInstalled;
        Events events;
        LauncherState after;
    };
    const Case cases[] = {
        {"the full map is missing", false, {"stop 1", "arm 1 250", "task update"}, LauncherState::Updating},
        {"the full map is there", true, {"stop 1", "runtime", "launch", "minimize"}, LauncherState::Ready},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        Checking(f, c.fullMapInstalled);
        f.WriteMeta(kRequestFile, "{\"groups\": [\"island\"]}");
        OnActivate(f.app, f.effects);
        ASSERT_TRUE(f.app.machine.requestPending) << c.label;
        ASSERT_TRUE(f.effects.Take().empty()) << c.label;
        OnVerifyFinished(f.app, f.effects, Verified(""));
        EXPECT_EQ(f.effects.Take(), c.events) << c.label;
        EXPECT_EQ(f.app.machine.state, c.after) << c.label;
        EXPECT_FALSE(f.app.machine.repairMode) << c.label;
        EXPECT_FALSE(f.app.machine.requestPending) << c.label;
        EXPECT_TRUE(f.app.fullMapSelected) << c.label;
        EXPECT_FALSE(f.MetaExists(kRequestFile)) << c.label;
    }
}

// The message box runs a message loop: what was queued behind the check's result is handled before
// the player answers. The answer is then about a launcher that no longer exists as it was asked.
TEST(Play, AnAnswerGivenAfterTheLauncherMovedOnIsDropped) {
    struct Arrival {
        const char* label;
        void (*arrive)(LauncherFixture&);
    };
    const Arrival arrivals[] = {
        {"a repair request starts an update",
         [](LauncherFixture& f) {
             f.WriteMeta(kRepairRequestFile, "");
             OnTimer(f.app, f.effects, TimerId::RequestRetry);
         }},
        {"a second start with a request starts a check",
         [](LauncherFixture& f) {
             f.WriteMeta(kRepairRequestFile, "");
             OnActivate(f.app, f.effects);
         }},
        {"the window is closed", [](LauncherFixture& f) { f.effects.windowExists = false; }},
    };
    for (const Arrival& arrival : arrivals) {
        for (const int answer : {IDYES, IDNO, IDCANCEL}) {
            LauncherFixture f;
            Checking(f);
            f.effects.answer = answer;
            f.effects.duringModal = [&f, &arrival] { arrival.arrive(f); };
            OnVerifyFinished(f.app, f.effects, Verified("Bin/Game.exe"));
            const Events events = f.effects.Take();
            EXPECT_LE(Count(events, "task update"), 1) << arrival.label << " " << answer;
            EXPECT_EQ(Count(events, "launch") + Count(events, "runtime"), 0) << arrival.label << " " << answer;
            EXPECT_FALSE(f.app.machine.offlineLaunch) << arrival.label << " " << answer;
        }
    }
}

TEST(Play, OfflineSkipsTheCheckAndAddsTheSwitch) {
    LauncherFixture f;
    Checking(f);
    OnVerifyFinished(f.app, f.effects, Verified("", true));
    f.effects.Take();
    RunCommand(f.app, f.effects, CmdPlayOffline);
    EXPECT_TRUE(f.app.machine.offlineLaunch);
    EXPECT_EQ(f.effects.Take(), (Events{"runtime", "launch", "minimize"}));
}

TEST(RuntimeStep, ItsEndStartsTheGameShowsTheProblemOrTakesUpARequest) {
    struct Case {
        const char* label;
        RuntimeOutcomeKind kind;
        bool thenPlay;
        bool requestPending;
        LauncherState before;
        Events events;
        bool note;
    };
    const Case cases[] = {
        {"installed, play", RuntimeInstalled, true, false, LauncherState::PreparingRuntime,
         {"launch", "minimize"}, false},
        {"request waiting", RuntimeInstalled, true, true, LauncherState::PreparingRuntime,
         {"task news", "task check"}, false},
        {"late, in another state", InstallFailed, true, false, LauncherState::Updating, {}, true},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        useEnglish = true;
        f.app.machine.state = c.before;
        f.app.machine.requestPending = c.requestPending;
        auto result = std::make_unique<RuntimeFinished>();
        result->outcome.kind = c.kind;
        result->thenPlay = c.thenPlay;
        OnRuntimeFinished(f.app, f.effects, std::move(result));
        EXPECT_EQ(f.effects.Take(), c.events) << c.label;
        EXPECT_EQ(!f.app.runtimeNote.empty(), c.note) << c.label;
        const LauncherState after = c.before == LauncherState::PreparingRuntime
                                        ? (c.requestPending ? LauncherState::Checking : LauncherState::Ready)
                                        : c.before;
        EXPECT_EQ(f.app.machine.state, after) << c.label;
    }
}

// A step that failed leaves its note (the player declined the prompt). The next check that finds the
// runtime clears it, and so does a new step.
TEST(RuntimeStep, TheNextCheckClearsTheNoteOfAFailedStep) {
    for (const bool runtimePresent : {true, false}) {
        LauncherFixture f;
        useEnglish = true;
        f.app.machine.state = LauncherState::PreparingRuntime;
        auto declined = std::make_unique<RuntimeFinished>();
        declined->outcome.kind = ConsentNeeded;
        declined->thenPlay = true;
        OnRuntimeFinished(f.app, f.effects, std::move(declined));
        ASSERT_EQ(f.app.machine.state, LauncherState::Ready);
        ASSERT_FALSE(f.app.runtimeNote.empty());

        EXPECT_EQ(StartRuntimeStep(f.app, f.effects, true, test::HostFinding(runtimePresent)), !runtimePresent);
        EXPECT_EQ(f.app.runtimeNote, L"") << runtimePresent;
        EXPECT_EQ(f.app.machine.state, runtimePresent ? LauncherState::Ready : LauncherState::PreparingRuntime);
        EXPECT_EQ(f.effects.Take(), runtimePresent ? Events{} : Events{"task runtime"});
    }
}

}  // namespace
}  // namespace vk
