#pragma once
// What an installation needs against a verified release.
#include "engine/release.h"
#include "engine/updater.h"

namespace vk {

enum class InstallVerdict { LauncherTooOld, NotInstalled, UpdateAvailable, Ready };

// Whether the release asks for a newer launcher than this one.
bool NeedsNewerLauncher(const RemoteRelease& release);

// Too old when the release asks for a newer launcher; not installed when nothing is recorded;
// ready when the record matches the release for the selected groups and the game executable exists.
InstallVerdict DecideInstallState(const Updater& updater, const RemoteRelease& release,
                                  const InstalledState& installed);

}  // namespace vk
