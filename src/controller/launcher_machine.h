#pragma once
// The launcher's state machine: the state with the flags of work still pending, the one table of what
// moves it (event -> next state and the task that starts with it), and the rule of which commands may
// run. The handlers decide which event happened; only this file says where an event leads.
#include <cstdint>
#include <optional>
#include <string>

#include "controller/effects.h"
#include "ui/launcher_state.h"

namespace vk {

struct AppState;

struct LauncherMachine {
    LauncherState state = LauncherState::Checking;
    // Counts the state changes, so that an answer to a question can tell whether anything happened
    // while the question was open.
    std::uint64_t stateChanges = 0;
    std::wstring statusText;
    // The running update or file check was asked to stop; the primary button shows it at once.
    bool pauseRequested = false;
    // A release check's result is still to come. Checking without one is the state before the first
    // check, and the moment a check's result is being handled.
    bool releaseCheckRunning = false;
    // The running or last update repairs (checks every file), so a resume repairs too.
    bool repairMode = false;
    // The next game start passes the offline switch.
    bool offlineLaunch = false;
    // A repair is due: the player chose it after a file check, or another program asked for it.
    bool repairPending = false;
    // Another program's request (repair or content) waits for the launcher to be free.
    bool requestPending = false;
};

enum class LauncherEvent {
    CheckStarted,
    CheckFailed,
    UpdateStarted,
    UpdateStopped,
    UpdateFailed,
    VerifyStarted,
    VerifyEnded,
    SelfUpdateStarted,
    RuntimeStarted,
    RuntimeEnded,
    RuntimeEndedWithoutRelease,  // the offline start after an expired manifest goes back to the refusal
    JudgedLauncherTooOld,
    JudgedNotInstalled,
    JudgedUpdateAvailable,
    JudgedReady,
};

struct Transition {
    LauncherEvent event;
    LauncherState next;
    // The background task that starts with the event.
    std::optional<TaskKind> task;
    // Refused while the launcher is busy, so that at most one check, one update or file check and one
    // self-update ever run, whatever queued the request.
    bool needsIdle;
};

const Transition& TransitionOf(LauncherEvent event);

// No new work may start: a busy state, unless it is a Checking that no check is running for.
bool LauncherBusy(const LauncherMachine& machine);

// The event may happen now: an event that needs an idle launcher is refused while it is busy.
bool MayHappen(const LauncherMachine& machine, LauncherEvent event);

// Moves to the event's next state with its text, clears pauseRequested, repaints; returns the
// transition, whose task the caller starts.
const Transition& Enter(LauncherMachine& machine, Effects& effects, LauncherEvent event, std::wstring text = {});

// What the rule of which commands may run looks at.
struct CommandFacts {
    LauncherState state = LauncherState::Checking;
    bool pauseRequested = false;
    bool releaseKnown = false;
    bool installed = false;    // the install folder records a build or files
    bool offlineOnly = false;  // the check refused an expired manifest of the installed build
};

bool CommandEnabled(int command, const CommandFacts& facts);

// The rule applied to the record as it is now. The window procedure refuses a command by it, and the
// frame's view carries its answers, so the painter greys out exactly the buttons whose click would
// do nothing, even a click queued before a state change.
CommandFacts FactsOf(const AppState& app);
bool MayRun(const AppState& app, int command);

}  // namespace vk
