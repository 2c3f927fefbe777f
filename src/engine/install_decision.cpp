#include "engine/install_decision.h"

#include "engine/launcher_version.h"
#include "engine/versions_portable.h"
#include "infra/files.h"
#include "infra/paths.h"

namespace vk {

bool NeedsNewerLauncher(const RemoteRelease& release) {
    return CompareVersions(LauncherVersion, release.minLauncherVersion) < 0;
}

InstallVerdict DecideInstallState(const Updater& updater, const RemoteRelease& release,
                                  const InstalledState& installed) {
    if (NeedsNewerLauncher(release)) return InstallVerdict::LauncherTooOld;
    if (installed.buildId.empty() && installed.files.empty()) return InstallVerdict::NotInstalled;
    const bool ready = updater.IsUpToDate(release, installed) &&
                       IsRegularFile(JoinPath(updater.installDir, DiskPathOf(release.launchPath)));
    return ready ? InstallVerdict::Ready : InstallVerdict::UpdateAvailable;
}

}  // namespace vk
