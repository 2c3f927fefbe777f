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

// The shipped installer, held open with read sharing only from its check until its process has started:
// the installer runs elevated, so nothing may replace or rename it between the hash and the start.
class RuntimeInstaller {
public:
    RuntimeInstaller(std::wstring path, std::string expectedSha256);

    // True when the expected digest is known and the file has it; the file then stays held.
    bool Verify();
    // Starts the installer elevated and waits for its end; the file is let go once the process runs.
    bool Run(std::uint32_t& exitCode, std::uint32_t& error);

private:
    bool Hold();

    std::wstring path_;
    std::string expectedSha256_;
    UniqueHandle held_;
};

// The host for the release as installed in installDir.
RuntimeHost MakeRuntimeHost(const RemoteRelease& release, const std::wstring& installDir);

}  // namespace vk
