#include "platform/runtime_facts.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "infra/handles.h"
#include "infra/paths.h"

namespace vk {

namespace {

std::uint32_t RegistryNumber(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    const LSTATUS status = RegGetValueW(HKEY_LOCAL_MACHINE, kRuntimeRegistryKey, name,
                                        RRF_RT_REG_DWORD | RRF_SUBKEY_WOW6464KEY, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? value : 0;
}

// A runtime file counts only when it carries a version and really loads.
RuntimeVersion LoadableFileVersion(const std::wstring& path) {
    const RuntimeVersion version = FileVersionOf(path);
    if (version.IsZero()) return {};
    const UniqueModule module(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS | LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR));
    return module ? version : RuntimeVersion{};
}

}  // namespace

RuntimeVersion FileVersionOf(const std::wstring& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) return {};
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return {};
    void* root = nullptr;
    UINT rootSize = 0;
    if (!VerQueryValueW(block.data(), L"\\", &root, &rootSize) || rootSize < sizeof(VS_FIXEDFILEINFO)) return {};
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(root);
    return RuntimeVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                          LOWORD(info->dwFileVersionLS)};
}

RuntimeVersion RuntimeDllVersion(const std::wstring& directory) {
    RuntimeVersion lowest;
    bool first = true;
    for (const wchar_t* name : kRuntimeFiles) {
        const RuntimeVersion version = LoadableFileVersion(JoinPath(directory, name));
        if (version.IsZero()) return {};
        lowest = first ? version : std::min(lowest, version);
        first = false;
    }
    return lowest;
}

RuntimeVersion RegistryRuntimeVersion() {
    return RuntimeVersion{RegistryNumber(L"Major"), RegistryNumber(L"Minor"), RegistryNumber(L"Bld"),
                          RegistryNumber(L"Rbld")};
}

RuntimeVersion SystemRuntimeVersion() {
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return RuntimeDllVersion(std::wstring(buffer, length));
}

}  // namespace vk
