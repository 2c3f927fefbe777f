#include "platform/runtime_host.h"

#include <shellapi.h>
#include <windows.h>

#include <shlobj.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "engine/release_path_portable.h"
#include "infra/paths.h"
#include "infra/sha256.h"
#include "platform/retrying_files.h"
#include "platform/runtime_facts.h"

namespace vk {

namespace {

constexpr char kAppLocalMarker[] = "/msvcp140_2.dll";

struct HostPaths {
    std::wstring installer;
    std::string installerSha256;
    std::wstring appLocalDir;  // empty: the release ships no runtime copy
};

// Where a release path lies in the install folder, by the rule the update installs files with.
std::wstring InstallPath(const std::wstring& installDir, const std::string& releasePath) {
    return JoinPath(installDir, DiskPathOf(releasePath));
}

HostPaths PathsOf(const RemoteRelease& release, const std::wstring& installDir) {
    HostPaths paths;
    paths.installer = InstallPath(installDir, kRuntimeInstallerPath);
    const std::string installerKey = ToLowerAscii(kRuntimeInstallerPath);
    const std::string marker = kAppLocalMarker;
    bool installerSeen = false;
    for (const ReleaseFile& file : release.files) {
        const std::string path = ToLowerAscii(file.path);
        if (!installerSeen && path == installerKey) {
            paths.installerSha256 = file.sha256;
            installerSeen = true;
        }
        if (paths.appLocalDir.empty() && path.size() > marker.size() && path.ends_with(marker)) {
            paths.appLocalDir = InstallPath(installDir, file.path.substr(0, file.path.size() - marker.size()));
        }
    }
    return paths;
}

}  // namespace

RuntimeInstaller::RuntimeInstaller(std::wstring path, std::string expectedSha256, std::wstring setupFolder)
    : path_(std::move(path)), expectedSha256_(std::move(expectedSha256)), setupFolder_(std::move(setupFolder)) {}

bool RuntimeInstaller::Hold() {
    if (!held_) {
        held_.reset(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    }
    return held_.valid();
}

bool RuntimeInstaller::Verify() {
    held_.reset();
    if (expectedSha256_.empty() || !Hold()) return false;
    try {
        if (Sha256OpenFile(held_.get(), path_) == expectedSha256_) return true;
    } catch (const std::runtime_error&) {
        // A read error counts as a damaged installer.
    }
    held_.reset();
    return false;
}

// Written, then opened again for reading: the start of the process reads the file, and a handle that
// may write would keep it from opening.
UniqueHandle RuntimeInstaller::CopyHeld(const std::wstring& copy) {
    const int made = SHCreateDirectoryExW(nullptr, setupFolder_.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
        SetLastError(static_cast<DWORD>(made));
        return {};
    }
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(held_.get(), start, nullptr, FILE_BEGIN)) return {};
    {
        const UniqueHandle target(
            CreateFileW(copy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target) return {};
        std::vector<char> buffer(1 << 20);
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(held_.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) return {};
            if (read == 0) break;
            DWORD written = 0;
            if (!WriteFile(target.get(), buffer.data(), read, &written, nullptr)) return {};
            if (written != read) {
                SetLastError(ERROR_WRITE_FAULT);
                return {};
            }
        }
    }
    return UniqueHandle(CreateFileW(copy.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool RuntimeInstaller::Run(std::uint32_t& exitCode, std::uint32_t& error) {
    const std::wstring copy = JoinPath(setupFolder_, FileNameOf(path_));
    UniqueHandle heldCopy = Hold() ? CopyHeld(copy) : UniqueHandle();
    if (!heldCopy) error = GetLastError();
    held_.reset();
    const bool ran = heldCopy && RunToItsEnd(copy, exitCode, error);
    heldCopy.reset();
    // An installer that has just ended may still hold its image and its folder for a moment.
    DeleteRetried(RealFileOperations(), copy, RetryPolicy{});
    Retried([this] { return RemoveDirectoryW(setupFolder_.c_str()) ? 0 : GetLastError(); }, RetryPolicy{});
    return ran;
}

bool RuntimeInstaller::RunToItsEnd(const std::wstring& copy, std::uint32_t& exitCode, std::uint32_t& error) const {
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    execute.lpVerb = L"runas";
    execute.lpFile = copy.c_str();
    execute.lpParameters = kRuntimeInstallerArguments;
    execute.lpDirectory = setupFolder_.c_str();
    execute.nShow = SW_HIDE;
    if (!ShellExecuteExW(&execute) || execute.hProcess == nullptr) {
        error = GetLastError();
        return false;
    }
    const UniqueHandle process(execute.hProcess);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    const bool read = GetExitCodeProcess(process.get(), &code);
    error = read ? 0 : GetLastError();
    exitCode = code;
    return read;
}

RuntimeHost MakeRuntimeHost(const RemoteRelease& release, const std::wstring& installDir,
                            const std::wstring& setupFolder) {
    const HostPaths paths = PathsOf(release, installDir);
    auto installer = std::make_shared<RuntimeInstaller>(paths.installer, paths.installerSha256, setupFolder);
    RuntimeHost host;
    host.GetFacts = [installerPath = paths.installer, appLocalDir = paths.appLocalDir] {
        RuntimeFacts facts;
        facts.installer = FileVersionOf(installerPath);
        facts.appLocal = appLocalDir.empty() ? RuntimeVersion{} : RuntimeDllVersion(appLocalDir);
        facts.registry = RegistryRuntimeVersion();
        facts.system = SystemRuntimeVersion();
        return facts;
    };
    host.VerifyInstaller = [installer] { return installer->Verify(); };
    host.RunInstaller = [installer](std::uint32_t& exitCode, std::uint32_t& error) {
        return installer->Run(exitCode, error);
    };
    return host;
}

}  // namespace vk
