#pragma once
// Everything the controller does to the world outside the launcher record. The window implements
// it with Win32 calls; tests implement it by recording, so the decisions run without a screen.
#include <cstdint>
#include <functional>
#include <string>

#include "controller/messages.h"
#include "engine/release.h"
#include "platform/runtime.h"

namespace vk {

enum class TaskKind { NewsRefresh, ReleaseCheck, Update, SelfUpdate, LaunchVerify, RuntimeInstall };

// A self-contained job for a background thread: it owns copies of everything it needs and ends by
// posting exactly one result message.
struct Task {
    TaskKind kind;
    std::function<void()> run;
    // Posts the failed result instead, with the message, when no thread can be started for `run`.
    std::function<void(const std::string&)> refuse;
};

// Replaces the running launcher with the downloaded one: true once the new launcher has taken over;
// false with the reason in `message`, the old launcher still in place. Runs on the self-update thread.
using SelfUpdateApply = std::function<bool(const std::string& executable, std::wstring& message)>;

class Effects {
public:
    virtual ~Effects() = default;

    // Runs the task on a detached thread; never waits for it.
    virtual void StartTask(Task task) = 0;
    virtual void ArmTimer(TimerId id, unsigned milliseconds) = 0;
    virtual void StopTimer(TimerId id) = 0;
    // Invalidates the whole window without erasing; nothing before the window exists.
    virtual void Repaint() = 0;
    // A message box owned by the window, captioned "Velkar"; returns the button pressed. Modal: results,
    // timers and requests keep arriving while it is open, so the world may have changed when it returns.
    virtual int ShowMessage(const std::wstring& text, unsigned flags) = 0;
    // The system's folder picker with the title, modal like a message box; empty when the player
    // cancelled or the dialog is unavailable.
    virtual std::wstring PickFolder(const std::wstring& title) = 0;
    // False once the window is destroyed, which can happen inside a modal loop.
    virtual bool WindowExists() = 0;
    // Asks the window to close through its close rule, as the system menu does.
    virtual void RequestClose() = 0;
    virtual void Minimize() = 0;
    // Shows the picture on the title card; false when it cannot be decoded.
    virtual bool SetBackgroundImage(const std::string& bytes) = 0;
    virtual bool IsGameRunning() = 0;
    // What the system says about the runtime the release needs, and how its installer runs; the
    // installer runs from setupFolder.
    virtual RuntimeHost RuntimeHostFor(const RemoteRelease& release, const std::wstring& installDir,
                                       const std::wstring& setupFolder) = 0;
    // Starts the game's process and lets it go: 0 when it started, otherwise the Windows error.
    virtual unsigned long StartGame(const std::wstring& executable, const std::wstring& commandLine,
                                    const std::wstring& folder) = 0;
    virtual void DestroyMainWindow() = 0;
    // The operation the self-update thread calls with the downloaded launcher.
    virtual SelfUpdateApply SelfUpdateOperation() = 0;
    // Milliseconds of a steadily increasing clock, for the download speed.
    virtual std::uint64_t Now() = 0;
};

}  // namespace vk
