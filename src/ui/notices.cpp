#include "ui/notices.h"

#include "infra/language_portable.h"
#include "ui/progress_text.h"

namespace vk {

std::vector<Notice> BuildNotices(const LauncherView& view) {
    std::vector<Notice> notices;
    const LauncherState state = view.state;
    const bool failedState = state == LauncherState::CheckFailed || state == LauncherState::UpdateFailed ||
                             state == LauncherState::LauncherTooOld;
    if (failedState && !view.statusText.empty()) notices.push_back({true, view.statusText, false});
    // Too old already shows the self-update failure as its own message.
    if (!view.selfUpdateError.empty() && state != LauncherState::LauncherTooOld) {
        notices.push_back(
            {true, Localized(L"Launcher self-update failed: ", L"启动器自动更新失败：") + view.selfUpdateError, false});
    }
    if (!view.runtimeNote.empty() && state == LauncherState::Ready) notices.push_back({true, view.runtimeNote, false});
    if (!view.requestNote.empty()) notices.push_back({true, view.requestNote, false});
    if (view.releaseKnown && view.fullMapSize > 0 && !view.fullMapSelected && view.installed &&
        state != LauncherState::LauncherTooOld) {
        notices.push_back({false,
                           Localized(L"Full map not installed: training only. Bot matches and online play need it.",
                                     L"未包含完整地图：只能进入训练场，人机对战和联机需要下载。"),
                           true});
    }
    return notices;
}

std::wstring FullMapLabel(const LauncherView& view) {
    const std::wstring size = FormatSize(view.fullMapSize);
    return useEnglish ? L"Download full map (" + size + L")" : L"下载完整地图（" + size + L"）";
}

}  // namespace vk
