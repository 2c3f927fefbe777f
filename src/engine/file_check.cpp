#include "engine/file_check.h"

#include "infra/files.h"
#include "infra/sha256.h"

namespace vk {

bool IsPresentWithSize(const std::wstring& path, const ReleaseFile& file) {
    return IsRegularFile(path) && FileSizeOf(path) == file.size;
}

HashCheck HashInstalledFile(const std::wstring& path, const ReleaseFile& file, const std::atomic<bool>& stop,
                            std::atomic<std::uint64_t>& bytesDone) {
    HashCheck check;
    if (!IsPresentWithSize(path, file)) return check;
    const std::string digest = Sha256File(path, &stop, [&](std::uint64_t hashed) {
        bytesDone += hashed - check.hashed;
        check.hashed = hashed;
    });
    check.matches = digest == file.sha256;
    return check;
}

}  // namespace vk
