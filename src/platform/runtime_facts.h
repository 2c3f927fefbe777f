#pragma once
// Where the runtime's version is read from: file version resources, the runtime files of a folder,
// and the registry record of the system-wide installation. Each answers zero for "not found".
#include <string>

#include "platform/runtime.h"

namespace vk {

inline constexpr const wchar_t* kRuntimeFiles[] = {L"msvcp140_2.dll", L"vcruntime140_1.dll"};
inline constexpr wchar_t kRuntimeRegistryKey[] = L"SOFTWARE\\Microsoft\\VisualStudio\\14.0\\VC\\Runtimes\\x64";

// The file version from the file's version resource.
RuntimeVersion FileVersionOf(const std::wstring& path);

// The lower of the versions of the runtime files in the folder; zero when either has no version or is
// not an x64 library. The files are read, never run.
RuntimeVersion RuntimeDllVersion(const std::wstring& directory);

// The version the system-wide installation records (64-bit registry view); a value that cannot be read
// counts as 0 and the others still count.
RuntimeVersion RegistryRuntimeVersion();

// RuntimeDllVersion of the Windows system directory.
RuntimeVersion SystemRuntimeVersion();

}  // namespace vk
