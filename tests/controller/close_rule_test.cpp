// Closing the window: refused while the launcher swaps itself, confirmed while work runs, and a
// confirmation that comes after a self-update began is not acted on.
#include <windows.h>

#include <gtest/gtest.h>

#include "controller/close_rule.h"
#include "infra/language_portable.h"
#include "recording_effects.h"

namespace vk {
namespace {

using test::LauncherFixture;
using Events = std::vector<std::string>;

const std::string kQuestion =
    "message An update is running. Quit anyway? Downloaded data is kept and resumes next time.";

TEST(CloseRule, AsksOnlyWhileWorkRunsAndStopsASelfUpdateOnlyWhileItDownloads) {
    struct Case {
        LauncherState state;
        int answer;
        bool closes;
        bool asks;
    };
    const Case cases[] = {
        {LauncherState::Ready, IDYES, true, false},
        {LauncherState::Checking, IDYES, true, false},
        {LauncherState::Updating, IDYES, true, true},
        {LauncherState::Updating, IDNO, false, true},
        // The new launcher is still downloading (no swap runs): the close stops it.
        {LauncherState::SelfUpdating, IDYES, true, false},
    };
    for (const Case& c : cases) {
        LauncherFixture f;
        useEnglish = true;
        f.app.state = c.state;
        f.effects.answer = c.answer;
        EXPECT_EQ(ConfirmClose(f.app, f.effects), c.closes) << static_cast<int>(c.state);
        EXPECT_EQ(f.effects.Take(), c.asks ? Events{kQuestion} : Events{}) << static_cast<int>(c.state);
        // The running task stops only when the window really goes.
        EXPECT_EQ(f.app.stopRequested.load(), c.closes) << static_cast<int>(c.state);
    }
}

TEST(CloseRule, AYesGivenAfterASelfUpdateBeganOrTheWindowWentIsDropped) {
    for (const bool selfUpdate : {true, false}) {
        LauncherFixture f;
        useEnglish = true;
        f.app.state = LauncherState::Updating;
        f.effects.answer = IDYES;
        f.effects.duringModal = [&f, selfUpdate] {
            if (selfUpdate) {
                f.app.state = LauncherState::SelfUpdating;
            } else {
                f.effects.windowExists = false;
            }
        };
        EXPECT_FALSE(ConfirmClose(f.app, f.effects)) << selfUpdate;
        EXPECT_FALSE(f.app.stopRequested.load()) << selfUpdate;
    }
}

}  // namespace
}  // namespace vk
