#pragma once
// What an installation needs against a verified release.
#include <string>

#include "engine/release.h"
#include "engine/updater.h"

namespace vk {

enum class InstallVerdict { LauncherTooOld, NotInstalled, UpdateAvailable, Ready };

// Whether the release asks for a newer launcher than this one.
bool NeedsNewerLauncher(const RemoteRelease& release);
// "Please download the new launcher." in the interface language: what the player is told then.
std::string NewerLauncherNeededMessage();

// The game's executable in the installation: the install folder, a backslash and the release's launch
// path with every "/" turned into "\".
std::wstring GameExecutablePath(const std::wstring& installDir, const std::string& launchPath);

// Too old when the release asks for a newer launcher; not installed when nothing is recorded;
// ready when the record matches the release for the selected groups and the game executable exists.
InstallVerdict DecideInstallState(const Updater& updater, const RemoteRelease& release,
                                  const InstalledState& installed);

}  // namespace vk
