#include "runtime_registry.h"

#include <windows.h>

#include <cwchar>
#include <stdexcept>
#include <string>

#include "infra/handles.h"
#include "platform/runtime_facts.h"

namespace vk::test {

namespace {

constexpr wchar_t kDllOverrides[] = L"Software\\Wine\\DllOverrides";

UniqueRegistryKey CreateKey(HKEY root, const wchar_t* path, REGSAM view) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot create a registry key for the test");
    }
    return UniqueRegistryKey(key);
}

// The name Wine's DLL overrides use: the file name without ".dll".
std::wstring ModuleName(const wchar_t* file) { return std::wstring(file, std::wcslen(file) - 4); }

}  // namespace

void WriteRuntimeRecord(std::optional<std::uint32_t> major, std::optional<std::uint32_t> minor,
                        std::optional<std::uint32_t> build, std::optional<std::uint32_t> revision) {
    RemoveRuntimeRecord();
    const UniqueRegistryKey key = CreateKey(HKEY_LOCAL_MACHINE, kRuntimeRegistryKey, KEY_WOW64_64KEY);
    const std::pair<const wchar_t*, std::optional<std::uint32_t>> values[] = {
        {L"Major", major}, {L"Minor", minor}, {L"Bld", build}, {L"Rbld", revision}};
    for (const auto& [name, value] : values) {
        if (!value) continue;
        const DWORD number = *value;
        RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    }
}

void RemoveRuntimeRecord() { RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kRuntimeRegistryKey, KEY_WOW64_64KEY, 0); }

NativeRuntimeFiles::NativeRuntimeFiles() {
    const UniqueRegistryKey key = CreateKey(HKEY_CURRENT_USER, kDllOverrides, 0);
    static constexpr wchar_t kNativeFirst[] = L"native,builtin";
    for (const wchar_t* file : kRuntimeFiles) {
        RegSetValueExW(key.get(), ModuleName(file).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(kNativeFirst),
                       sizeof kNativeFirst);
    }
}

NativeRuntimeFiles::~NativeRuntimeFiles() {
    for (const wchar_t* file : kRuntimeFiles) {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kDllOverrides, ModuleName(file).c_str());
    }
}

}  // namespace vk::test
