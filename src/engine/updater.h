#pragma once
// The update engine's entry point. Built from the configuration for each operation; it holds no
// other state, so every operation is const and copies may run on any thread.
#include <atomic>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/progress.h"
#include "engine/release.h"

namespace vk {

struct Updater {
    std::string baseUrl;       // no trailing "/"
    std::string channel;
    std::string publicKeyPem;
    std::wstring installDir;   // no trailing backslash
    std::wstring gameUserDir;  // empty: the user's local application-data folder
    std::wstring cacheDir;     // empty: no caching

    // Release manifest and file list (release_fetch.cpp).
    RemoteRelease FetchRelease() const;
    LauncherInfo LoadCachedLauncherInfo() const;

    // Release paths (release_files.cpp).
    std::wstring InstallPathOf(const ReleaseFile& file) const;

    // The installation's metadata folder (install_state.cpp).
    std::wstring MetadataDir() const;
    InstalledState LoadInstalledState() const;
    void SaveInstalledState(const InstalledState& state) const;
    std::set<std::string> LoadSelectedGroups() const;
    void SelectGroup(const std::string& name) const;
    bool IsUpToDate(const RemoteRelease& release, const InstalledState& installed) const;
    void WriteInstallInfo(const RemoteRelease& release, const std::wstring& launcherPath) const;
    bool RepairRequested() const;
    void ClearRepairRequest() const;
    bool HasPendingRequest() const;

    // Content packages the release does not list (install_scan.cpp).
    std::vector<std::wstring> FindExtraPackages(const RemoteRelease& release) const;

    // Blobs (download_store.cpp) and the update (update.cpp).
    // A whole blob in memory, checked against its size and digest. Throws Cancelled when *stop is set
    // between reads, so a slow download never holds the player back.
    std::string FetchBlob(const std::string& sha256, std::uint64_t size, std::atomic<std::uint64_t>* progress,
                          const std::atomic<bool>* stop = nullptr) const;
    void Update(const RemoteRelease& release, bool repair, UpdateProgress& progress,
                const std::atomic<bool>& stop) const;

    // The check before every game start (verify.cpp).
    std::string VerifyForLaunch(const RemoteRelease& release, UpdateProgress& progress,
                                const std::atomic<bool>& stop) const;
};

}  // namespace vk
