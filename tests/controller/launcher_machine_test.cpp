// The launcher's transitions as a table: from a state, an event either is refused (the launcher is
// busy) or leads to its next state with the task that starts with it; entering any state clears a
// requested pause, counts the change and repaints.
#include <gtest/gtest.h>

#include <optional>

#include "controller/launcher_machine.h"
#include "recording_effects.h"

namespace vk {
namespace {

using E = LauncherEvent;
using S = LauncherState;

TEST(LauncherMachine, EachEventLeadsToItsStateAndTask) {
    struct Row {
        S from;
        bool checkRunning;
        E event;
        bool allowed;
        S next;
        std::optional<TaskKind> task;
    };
    const Row rows[] = {
        // Before the first check and while a check's result is handled, Checking is not busy.
        {S::Checking, false, E::CheckStarted, true, S::Checking, TaskKind::ReleaseCheck},
        {S::Checking, true, E::CheckStarted, false, S::Checking, TaskKind::ReleaseCheck},
        {S::Checking, true, E::CheckFailed, true, S::CheckFailed, std::nullopt},
        {S::CheckFailed, false, E::CheckStarted, true, S::Checking, TaskKind::ReleaseCheck},
        {S::NotInstalled, false, E::UpdateStarted, true, S::Updating, TaskKind::Update},
        {S::Paused, false, E::UpdateStarted, true, S::Updating, TaskKind::Update},
        {S::Updating, false, E::UpdateStarted, false, S::Updating, TaskKind::Update},
        {S::Updating, false, E::UpdateStopped, true, S::Paused, std::nullopt},
        {S::Updating, false, E::UpdateFailed, true, S::UpdateFailed, std::nullopt},
        {S::Ready, false, E::VerifyStarted, true, S::Updating, TaskKind::LaunchVerify},
        {S::SelfUpdating, false, E::VerifyStarted, false, S::Updating, TaskKind::LaunchVerify},
        {S::Updating, false, E::VerifyEnded, true, S::Ready, std::nullopt},
        {S::Checking, false, E::SelfUpdateStarted, true, S::SelfUpdating, TaskKind::SelfUpdate},
        {S::PreparingRuntime, false, E::SelfUpdateStarted, false, S::SelfUpdating, TaskKind::SelfUpdate},
        {S::Ready, false, E::RuntimeStarted, true, S::PreparingRuntime, TaskKind::RuntimeInstall},
        {S::PreparingRuntime, false, E::RuntimeEnded, true, S::Ready, std::nullopt},
        {S::PreparingRuntime, false, E::RuntimeEndedWithoutRelease, true, S::CheckFailed, std::nullopt},
        {S::Checking, false, E::JudgedLauncherTooOld, true, S::LauncherTooOld, std::nullopt},
        {S::Updating, false, E::JudgedNotInstalled, true, S::NotInstalled, std::nullopt},
        {S::Updating, false, E::JudgedUpdateAvailable, true, S::UpdateAvailable, std::nullopt},
        {S::SelfUpdating, false, E::JudgedReady, true, S::Ready, std::nullopt},
    };
    for (const Row& row : rows) {
        const auto label = testing::Message()
                           << "from " << static_cast<int>(row.from) << " event " << static_cast<int>(row.event);
        LauncherMachine machine;
        machine.state = row.from;
        machine.releaseCheckRunning = row.checkRunning;
        EXPECT_EQ(MayHappen(machine, row.event), row.allowed) << label;
        if (!row.allowed) continue;
        machine.pauseRequested = true;
        test::RecordingEffects effects;
        const Transition& transition = Enter(machine, effects, row.event, L"why");
        EXPECT_EQ(machine.state, row.next) << label;
        EXPECT_EQ(transition.task, row.task) << label;
        EXPECT_EQ(machine.statusText, L"why") << label;
        EXPECT_FALSE(machine.pauseRequested) << label;
        EXPECT_EQ(machine.stateChanges, 1u) << label;
        EXPECT_EQ(effects.repaints, 1) << label;
        EXPECT_EQ(machine.releaseCheckRunning, row.event == E::CheckStarted || row.checkRunning) << label;
    }
}

}  // namespace
}  // namespace vk
