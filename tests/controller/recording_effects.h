#pragma once
// Effects that record what the controller asked for instead of doing it, and a launcher record set
// up around a temporary install folder.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controller/app_state.h"
#include "controller/effects.h"
#include "support/temp_dir.h"

namespace vk::test {

class RecordingEffects final : public Effects {
public:
    // Everything but repaints, in order: "task news", "task check", "task update", "task self-update",
    // "task verify", "task runtime", "arm 1 250", "stop 1", "message <text>", "picker <title>",
    // "runtime" (the runtime host asked for), "launch", "destroy", "image", "close", "minimize".
    std::vector<std::string> events;
    std::vector<Task> tasks;
    std::map<TimerId, unsigned> armedTimers;
    int repaints = 0;

    // Answers and conditions the test sets.
    bool gameRunning = false;
    bool runtimeStarts = false;  // the runtime host finds the runtime missing, so a runtime step starts
    bool imageAccepted = true;
    std::uint64_t now = 0;
    SelfUpdateApply apply;
    // The modal calls: the button the message box returns, the folder the picker returns (empty:
    // cancelled), and what arrives while their loop runs (run once, by the next modal call).
    int answer = IDOK;
    std::wstring pickedFolder;
    std::function<void()> duringModal;
    bool windowExists = true;
    unsigned long launchError = 0;  // what starting the game's process answers
    std::wstring launchedCommandLine;

    void StartTask(Task task) override;
    void ArmTimer(TimerId id, unsigned milliseconds) override;
    void StopTimer(TimerId id) override;
    void Repaint() override { ++repaints; }
    int ShowMessage(const std::wstring& text, unsigned flags) override;
    std::wstring PickFolder(const std::wstring& title) override;
    bool WindowExists() override { return windowExists; }
    void RequestClose() override { events.push_back("close"); }
    void Minimize() override { events.push_back("minimize"); }
    bool SetBackgroundImage(const std::string& bytes) override;
    bool IsGameRunning() override { return gameRunning; }
    RuntimeHost RuntimeHostFor(const RemoteRelease& release, const std::wstring& installDir,
                               const std::wstring& setupFolder) override;
    unsigned long StartGame(const std::wstring& executable, const std::wstring& commandLine,
                            const std::wstring& folder) override;
    void DestroyMainWindow() override { events.push_back("destroy"); }
    SelfUpdateApply SelfUpdateOperation() override { return apply; }
    std::uint64_t Now() override { return now; }

    // The events since the last call.
    std::vector<std::string> Take();
};

// A host whose facts find the runtime as the release's app-local copy, or nowhere; its installer
// cannot run.
RuntimeHost HostFinding(bool runtimePresent);

// Two files, one of them in the full map's group; the launcher itself needs "2.0.0".
RemoteRelease SampleRelease(const std::string& buildId);

// The installed state that matches the release with or without the full map.
InstalledState InstalledFrom(const RemoteRelease& release, bool withFullMap);

// A launcher record whose install folder and cache live in a temporary folder, and whose update
// source can never be reached (in-process tests run no task).
struct LauncherFixture {
    TempDir dir;
    AppState app;
    RecordingEffects effects;

    LauncherFixture();
    const Updater& updater() const { return app.updater; }
    // Makes settings.cfg impossible to write: its folder's name is taken by a file.
    void BlockSettings() const;
    std::string SettingsFileText() const;
    // Writes a file of the install's metadata folder.
    void WriteMeta(const std::wstring& name, const std::string& text) const;
    bool MetaExists(const std::wstring& name) const;
    // installed.json and the game executable for the state.
    void Install(const RemoteRelease& release, const InstalledState& installed) const;
};

}  // namespace vk::test
