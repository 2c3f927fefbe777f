#pragma once
// The real runtime host of a release: the shipped installer, its expected digest and the app-local
// runtime folder come from the release file list; facts come from the system.
#include <cstdint>
#include <string>

#include "engine/release.h"
#include "infra/handles.h"
#include "platform/runtime.h"

namespace vk {

inline constexpr char kRuntimeInstallerPath[] = "Prerequisites/vc_redist.x64.exe";
inline constexpr wchar_t kRuntimeInstallerArguments[] = L"/install /quiet /norestart";
// Below the launcher's per-user cache: where the installer is copied to run.
inline constexpr wchar_t kRuntimeSetupFolder[] = L"runtime-setup";

// The shipped installer. It runs elevated, so what runs must be what was checked, and nothing beside it
// may be loaded into it: the game folder may be writable by other accounts, and a library placed next
// to the installer would run as administrator. The file is held open with read sharing only from its
// check on; its bytes are copied through that handle into a folder of the launcher's own in the
// player's profile, and the installer runs from there, with that folder as its current directory,
// its copy held the same way until it has ended and then deleted.
class RuntimeInstaller {
public:
    RuntimeInstaller(std::wstring path, std::string expectedSha256, std::wstring setupFolder);

    // True when the expected digest is known and the file has it; the file then stays held.
    bool Verify();
    // Starts the copy elevated and waits for its end.
    bool Run(std::uint32_t& exitCode, std::uint32_t& error);

private:
    bool Hold();
    // The copy of the held file in the setup folder, held with read sharing only; invalid on failure
    // (the error is then the last error).
    UniqueHandle CopyHeld(const std::wstring& copy);
    // Starts the copy elevated and waits for its end; false when it cannot be started or its exit code
    // cannot be read.
    bool RunToItsEnd(const std::wstring& copy, std::uint32_t& exitCode, std::uint32_t& error) const;

    std::wstring path_;
    std::string expectedSha256_;
    std::wstring setupFolder_;
    UniqueHandle held_;
};

// The host for the release as installed in installDir. The installer runs from setupFolder, a folder
// only the player's account can write.
RuntimeHost MakeRuntimeHost(const RemoteRelease& release, const std::wstring& installDir,
                            const std::wstring& setupFolder);

}  // namespace vk
