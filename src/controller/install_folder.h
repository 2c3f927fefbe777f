#pragma once
// The two commands that change what the launcher manages: another install folder, and the full map.
#include <string>

#include "controller/app_state.h"
#include "controller/effects.h"

namespace vk {

// The folder name the launcher installs into inside a folder that holds other things.
inline constexpr wchar_t kGameFolderName[] = L"Velkar";

// Where to install when the player picks `chosen`: the folder itself when it is missing, empty or
// already the launcher's (it has the metadata folder); otherwise its "Velkar" subfolder under the
// same rule, so that an update never treats the player's own files as the game's; empty when neither
// may be used.
std::wstring InstallFolderFor(const std::wstring& chosen);

// The folder picker, then the installation found there decides the state.
void ChooseInstallFolder(AppState& app, Effects& effects);

// Selects the full map's group and starts the update that fetches it.
void DownloadFullMap(AppState& app, Effects& effects);

}  // namespace vk
