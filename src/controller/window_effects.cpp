#include "controller/window_effects.h"

#include <windows.h>

#include <system_error>
#include <thread>

#include "infra/language_portable.h"
#include "platform/folder_picker.h"
#include "platform/game_launch.h"
#include "platform/game_process.h"

namespace vk {

void WindowEffects::StartTask(Task task) {
    try {
        std::thread(std::move(task.run)).detach();
    } catch (const std::system_error&) {
        // The task's result still arrives, as a failure the player can retry from.
        task.refuse(Localized("Cannot start a background task.", "无法启动后台任务。"));
    }
}

void WindowEffects::ArmTimer(TimerId id, unsigned milliseconds) {
    SetTimer(app_.window, static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void WindowEffects::StopTimer(TimerId id) { KillTimer(app_.window, static_cast<UINT_PTR>(id)); }

void WindowEffects::Repaint() {
    if (app_.window != nullptr) InvalidateRect(app_.window, nullptr, FALSE);
}

int WindowEffects::ShowMessage(const std::wstring& text, unsigned flags) {
    return MessageBoxW(app_.window, text.c_str(), L"Velkar", flags);
}

std::wstring WindowEffects::PickFolder(const std::wstring& title) { return PickFolderWithDialog(app_.window, title); }

bool WindowEffects::WindowExists() { return app_.window != nullptr && IsWindow(app_.window); }

void WindowEffects::RequestClose() { PostMessageW(app_.window, WM_CLOSE, 0, 0); }

void WindowEffects::Minimize() { ShowWindow(app_.window, SW_MINIMIZE); }

bool WindowEffects::SetBackgroundImage(const std::string& bytes) {
    return services_.setBackgroundImage && services_.setBackgroundImage(bytes);
}

bool WindowEffects::IsGameRunning() { return vk::IsGameRunning(); }

RuntimeHost WindowEffects::RuntimeHostFor(const RemoteRelease& release, const std::wstring& installDir,
                                          const std::wstring& setupFolder) {
    return services_.runtimeHost(release, installDir, setupFolder);
}

unsigned long WindowEffects::StartGame(const std::wstring& executable, const std::wstring& commandLine,
                                       const std::wstring& folder) {
    return StartGameProcess(executable, commandLine, folder);
}

void WindowEffects::DestroyMainWindow() { DestroyWindow(app_.window); }

SelfUpdateApply WindowEffects::SelfUpdateOperation() { return services_.applySelfUpdate; }

std::uint64_t WindowEffects::Now() { return GetTickCount64(); }

}  // namespace vk
