#include "platform/runtime_facts.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
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

// Whether the image mapped at the module (a data-file handle, whose low bits mark it as one) is built
// for x64 processors.
bool IsX64Image(HMODULE module) {
    const auto* base = reinterpret_cast<const unsigned char*>(reinterpret_cast<std::uintptr_t>(module) &
                                                              ~static_cast<std::uintptr_t>(3));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE && nt->FileHeader.Machine == IMAGE_FILE_MACHINE_AMD64;
}

// A runtime file counts only when it carries a version and is a well-formed x64 library. It is mapped
// as an image resource and never run: the game's copies belong to the game, and whatever their start-up
// code does must not happen inside the launcher.
RuntimeVersion LoadableFileVersion(const std::wstring& path) {
    const RuntimeVersion version = FileVersionOf(path);
    if (version.IsZero()) return {};
    const UniqueModule module(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE));
    return module && IsX64Image(module.get()) ? version : RuntimeVersion{};
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
