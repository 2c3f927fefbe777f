#include "controller/install_folder.h"

#include <windows.h>

#include <exception>

#include "controller/commands.h"
#include "controller/launcher_machine.h"
#include "controller/tasks.h"
#include "engine/install_layout.h"
#include "infra/handles.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"
#include "ui/commands.h"

namespace vk {

namespace {

bool IsEmptyFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    const UniqueFind find(FindFirstFileW(JoinPath(folder, L"*").c_str(), &entry));
    if (!find) return false;
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") return false;
    } while (FindNextFileW(find.get(), &entry));
    return true;
}

// Installing here touches nothing of the player's: nothing is there yet, or it is the launcher's own
// installation (finished or interrupted).
bool MayInstallInto(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError() == ERROR_FILE_NOT_FOUND ||
                                                      GetLastError() == ERROR_PATH_NOT_FOUND;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    const DWORD metadata = GetFileAttributesW(JoinPath(folder, kMetadataFolderName).c_str());
    const bool launchers = metadata != INVALID_FILE_ATTRIBUTES && (metadata & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return launchers || IsEmptyFolder(folder);
}

// The state was decided for the old folder; the new folder's installation decides it now.
void TakeUpFolder(AppState& app, Effects& effects, std::wstring folder) {
    app.updater.installDir = std::move(folder);
    app.settings.installDirChosen = true;
    SaveSettingsQuietly(app);
    app.installed = app.updater.LoadInstalledState();
    app.offlineOnly = false;  // judged for the old folder's installation
    ReloadFullMapFlag(app);
    if (app.releaseKnown && app.machine.state != LauncherState::LauncherTooOld) {
        RefreshInstallState(app, effects);
    } else {
        effects.Repaint();
    }
}

}  // namespace

std::wstring InstallFolderFor(const std::wstring& chosen) {
    if (MayInstallInto(chosen)) return chosen;
    const std::wstring inside = JoinPath(chosen, kGameFolderName);
    return MayInstallInto(inside) ? inside : std::wstring();
}

void ChooseInstallFolder(AppState& app, Effects& effects) {
    const std::wstring picked = effects.PickFolder(Localized(L"Choose the game folder", L"选择游戏安装目录"));
    if (picked.empty()) return;
    // The picker is modal: a task may have started meanwhile, and it keeps the folder it started with.
    if (!effects.WindowExists() || !MayRun(app, CmdInstallFolder)) return;
    std::wstring folder = InstallFolderFor(TrimmedFolder(picked));
    if (folder.empty()) {
        effects.ShowMessage(Localized(L"This folder and its Velkar folder hold other files. Choose an empty "
                                      L"folder or the game's folder.",
                                      L"该目录及其中的 Velkar 目录里已有其他文件，请选择空目录或游戏所在目录。"),
                            MB_ICONWARNING);
        return;
    }
    TakeUpFolder(app, effects, std::move(folder));
}

void DownloadFullMap(AppState& app, Effects& effects) {
    try {
        app.updater.SelectGroup(kFullMapGroup);
    } catch (const std::exception& e) {
        effects.ShowMessage(Utf8ToWide(e.what()), MB_ICONERROR);
        return;
    }
    // Without a release to install from, the selection waits for the next check.
    if (!app.releaseKnown) {
        ReloadFullMapFlag(app);
        effects.Repaint();
        return;
    }
    RefreshInstallState(app, effects);
    if (app.machine.state == LauncherState::NotInstalled || app.machine.state == LauncherState::UpdateAvailable) {
        StartUpdate(app, effects, false);
    }
}

}  // namespace vk
