#include "engine/install_decision.h"

#include "engine/launcher_version.h"
#include "engine/release_sizes.h"
#include "engine/versions_portable.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/paths.h"

namespace vk {

bool NeedsNewerLauncher(const RemoteRelease& release) {
    return CompareVersions(LauncherVersion, release.minLauncherVersion) < 0;
}

std::string NewerLauncherNeededMessage() {
    return Localized("Please download the new launcher.", "请下载新版启动器后再更新。");
}

std::wstring GameExecutablePath(const std::wstring& installDir, const std::string& launchPath) {
    return JoinPath(installDir, DiskPathOf(launchPath));
}

InstallVerdict DecideInstallState(const Updater& updater, const RemoteRelease& release,
                                  const InstalledState& installed) {
    if (NeedsNewerLauncher(release)) return InstallVerdict::LauncherTooOld;
    if (!HasInstallation(installed)) return InstallVerdict::NotInstalled;
    const bool ready = updater.IsUpToDate(release, installed) &&
                       IsRegularFile(GameExecutablePath(updater.installDir, release.launchPath));
    return ready ? InstallVerdict::Ready : InstallVerdict::UpdateAvailable;
}

}  // namespace vk
