#include "engine/file_check.h"

#include <windows.h>

#include "infra/errors.h"

namespace vk {

bool IsPresentWithSize(const std::wstring& path, const ReleaseFile& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && size == file.size;
}

HashCheck HashInstalledFile(const std::wstring& path, const ReleaseFile& file, FileHasher& hasher,
                            const std::atomic<bool>& stop, const std::atomic<bool>& abandon,
                            std::atomic<std::uint64_t>& bytesDone) {
    HashCheck check;
    if (!IsPresentWithSize(path, file)) return check;
    const std::string digest = hasher.HashFile(path, &stop, [&](std::uint64_t hashed) {
        bytesDone += hashed - check.hashed;
        check.hashed = hashed;
        if (abandon.load()) throw Cancelled();
    });
    check.matches = digest == file.sha256;
    return check;
}

}  // namespace vk
