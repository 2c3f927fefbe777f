#include "platform/banner.h"

#include <windows.h>

#include "infra/files.h"
#include "infra/handles.h"
#include "infra/paths.h"
#include "infra/sha256.h"
#include "infra/text.h"

namespace vk {

namespace {

constexpr wchar_t kBannerPrefix[] = L"banner-";

// At most one banner stays in the cache.
void DeleteCachedBanners(const std::wstring& cacheDir) {
    WIN32_FIND_DATAW entry;
    UniqueFind search(FindFirstFileW(JoinPath(cacheDir, std::wstring(kBannerPrefix) + L"*").c_str(), &entry));
    if (!search) return;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteFileW(JoinPath(cacheDir, entry.cFileName).c_str());
        }
    } while (FindNextFileW(search.get(), &entry));
}

}  // namespace

std::string GetBanner(const Updater& config, const LauncherInfo& launcher, bool allowDownload) {
    if (launcher.bannerSha256.empty() || config.cacheDir.empty()) return {};
    const std::wstring path = JoinPath(config.cacheDir, kBannerPrefix + Utf8ToWide(launcher.bannerSha256));
    if (FileSizeOf(path) == launcher.bannerSize) {
        std::string cached = ReadWholeFile(path);
        if (cached.size() == launcher.bannerSize && Sha256Hex(cached) == launcher.bannerSha256) return cached;
    }
    if (!allowDownload) return {};
    std::string bytes = config.FetchBlob(launcher.bannerSha256, launcher.bannerSize, nullptr);
    CreateDirectories(config.cacheDir);
    DeleteCachedBanners(config.cacheDir);
    WriteFileAtomic(path, bytes);
    return bytes;
}

}  // namespace vk
