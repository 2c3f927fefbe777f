#pragma once
// The update engine's entry point. Built from the configuration for each operation; it holds no
// other state, so every operation is const and copies may run on any thread.
#include <atomic>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/progress.h"
#include "engine/release.h"

namespace vk {

// What an update without repair would fetch: files to replace, and the bytes of their blobs.
struct DownloadPlan {
    std::uint32_t files = 0;
    std::uint64_t bytes = 0;  // each blob once, however many files share it
};

// "The update information has expired. Try again later." in the interface language.
std::string ReleaseExpiredMessage();

// The refusal of a manifest past its "expires": verified in every other way, its release still
// tells how the installed build starts, so the game can be started without the server.
struct ReleaseExpired : std::runtime_error {
    explicit ReleaseExpired(RemoteRelease verified);
    RemoteRelease release;
};

struct Updater {
    std::string baseUrl;       // no trailing "/"
    std::string channel;
    std::string publicKeyPem;
    std::wstring installDir;   // no trailing backslash
    std::wstring gameUserDir;  // empty: the user's local application-data folder
    std::wstring cacheDir;     // empty: no caching
    std::uint64_t downloadLimitKiB = 0;  // KiB per second for all connections together; 0: no limit

    // The signed release: manifest verified, file list checked against it. The verified manifest
    // is cached; its offers can be read back from the cache without the network. A manifest past
    // its expiry throws ReleaseExpired.
    RemoteRelease FetchRelease() const;
    LauncherInfo LoadCachedLauncherInfo() const;

    // Where a release file lives in the installation.
    std::wstring InstallPathOf(const ReleaseFile& file) const;

    // The installation's metadata folder: the record of the installed build, the selected
    // groups, the requests other programs leave, and the facts published for them.
    std::wstring MetadataDir() const;
    InstalledState LoadInstalledState() const;
    void SaveInstalledState(const InstalledState& state) const;
    std::set<std::string> LoadSelectedGroups() const;
    // The same, but a waiting request of another program adds only groups that the release defines.
    std::set<std::string> LoadSelectedGroups(const RemoteRelease& release) const;
    void SelectGroup(const std::string& name) const;
    bool IsUpToDate(const RemoteRelease& release, const InstalledState& installed) const;
    void WriteInstallInfo(const RemoteRelease& release, const std::wstring& launcherPath) const;
    bool RepairRequested() const;
    void ClearRepairRequest() const;
    bool HasPendingRequest() const;

    // Content packages in the game's package folders that the release does not list.
    std::vector<std::wstring> FindExtraPackages(const RemoteRelease& release) const;

    // One blob, whole and verified, into memory. Throws Cancelled when *stop is set between reads, so a
    // slow download never holds the player back.
    std::string FetchBlob(const std::string& sha256, std::uint64_t size, std::atomic<std::uint64_t>* progress,
                          const std::atomic<bool>* stop = nullptr) const;

    // The update: what it would fetch, judged from the record, and the update itself.
    DownloadPlan PlanDownload(const RemoteRelease& release, const InstalledState& installed) const;
    void Update(const RemoteRelease& release, bool repair, UpdateProgress& progress,
                const std::atomic<bool>& stop) const;

    // The check before every game start: the first missing or changed file, or extra package;
    // empty when the game may start.
    std::string VerifyForLaunch(const RemoteRelease& release, UpdateProgress& progress,
                                const std::atomic<bool>& stop) const;
};

}  // namespace vk
