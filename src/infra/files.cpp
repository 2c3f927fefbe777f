#include "infra/files.h"

#include <windows.h>

#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/text.h"

namespace vk {

namespace {

bool ReadAttributes(const std::wstring& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != 0;
}

}  // namespace

std::uint64_t FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!ReadAttributes(path, data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool IsRegularFile(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return ReadAttributes(path, data) && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadWholeFile(const std::wstring& path, std::uint64_t limit) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > limit) return {};
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) return {};
    bytes.resize(read);
    return bytes;
}

WriteFileCall writeFileCall = &WriteFile;

void WriteAll(HANDLE file, const void* bytes, DWORD length, const std::string& label) {
    DWORD written = 0;
    if (!writeFileCall(file, bytes, length, &written, nullptr)) ThrowLastError(label);
    if (written != length) {
        // A short write sets no error code of its own.
        SetLastError(ERROR_WRITE_FAULT);
        ThrowLastError(label);
    }
}

void WriteFileAtomic(const std::wstring& path, const std::string& bytes) {
    const std::wstring temporary = path + L".tmp";
    const std::string label = "无法写入 " + WideToUtf8(temporary);
    {
        UniqueHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) ThrowLastError(label);
        WriteAll(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), label);
        if (!FlushFileBuffers(file.get())) ThrowLastError(label);
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ThrowLastError("无法替换 " + WideToUtf8(path));
    }
}

bool QueryVolumeFreeSpace(const std::wstring& folder, std::uint64_t& freeBytes) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return false;
    freeBytes = available.QuadPart;
    return true;
}

void CreateDirectories(const std::wstring& path) {
    for (size_t i = 3; i <= path.size(); ++i) {
        if (i != path.size() && path[i] != L'\\') continue;
        const std::wstring prefix = path.substr(0, i);
        if (!CreateDirectoryW(prefix.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            ThrowLastError("无法创建目录 " + WideToUtf8(prefix));
        }
    }
}

}  // namespace vk
