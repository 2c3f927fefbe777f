#pragma once
// The controller's effects on the real window: threads, timers, repaints and message boxes.
#include <functional>
#include <string>

#include "controller/app_state.h"
#include "controller/effects.h"

namespace vk {

// What other parts of the program supply to the window's effects.
struct WindowServices {
    SelfUpdateApply applySelfUpdate;
    std::function<RuntimeHost(const RemoteRelease& release, const std::wstring& installDir,
                              const std::wstring& setupFolder)>
        runtimeHost;
    std::function<bool(const std::string& bytes)> setBackgroundImage;
};

class WindowEffects final : public Effects {
public:
    WindowEffects(AppState& app, WindowServices services) : app_(app), services_(std::move(services)) {}

    void StartTask(Task task) override;
    void ArmTimer(TimerId id, unsigned milliseconds) override;
    void StopTimer(TimerId id) override;
    void Repaint() override;
    int ShowMessage(const std::wstring& text, unsigned flags) override;
    std::wstring PickFolder(const std::wstring& title) override;
    bool WindowExists() override;
    void RequestClose() override;
    void Minimize() override;
    bool SetBackgroundImage(const std::string& bytes) override;
    bool IsGameRunning() override;
    RuntimeHost RuntimeHostFor(const RemoteRelease& release, const std::wstring& installDir,
                               const std::wstring& setupFolder) override;
    unsigned long StartGame(const std::wstring& executable, const std::wstring& commandLine,
                            const std::wstring& folder) override;
    void DestroyMainWindow() override;
    SelfUpdateApply SelfUpdateOperation() override;
    std::uint64_t Now() override;

private:
    AppState& app_;
    WindowServices services_;
};

}  // namespace vk
