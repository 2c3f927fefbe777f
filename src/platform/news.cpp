#include "platform/news.h"

#include <ctime>
#include <exception>
#include <stdexcept>
#include <string>

#include "engine/document_fetch.h"
#include "infra/files.h"
#include "infra/http.h"
#include "infra/language_portable.h"
#include "infra/paths.h"

namespace vk {

namespace {

std::wstring CachedNewsPath(const Updater& config) { return JoinPath(config.cacheDir, L"news.json"); }

void RefuseAboveLimit(std::uint64_t received, std::uint64_t announced) {
    if (received > kNewsBodyLimit || announced > kNewsBodyLimit) {
        throw std::runtime_error(Localized("The news file is too large.", "动态文件过大。"));
    }
}

}  // namespace

std::vector<NewsItem> RefreshNews(const Updater& config) {
    // The time query keeps caches on the way from answering with an old list.
    const std::string url = config.baseUrl + "/Shipping/LauncherNews.json?t=" + std::to_string(std::time(nullptr));
    HttpSession session;
    const std::string body = FetchDocument(session, url, RefuseAboveLimit);
    std::vector<NewsItem> items = ParseNews(body);
    if (!config.cacheDir.empty()) {
        try {
            CreateDirectories(config.cacheDir);
            WriteFileAtomic(CachedNewsPath(config), body);
        } catch (const std::exception&) {
            // Another refresh may be writing the same file; the list is shown all the same.
        }
    }
    return items;
}

std::vector<NewsItem> LoadCachedNews(const Updater& config) {
    if (config.cacheDir.empty()) return {};
    const std::wstring path = CachedNewsPath(config);
    if (FileSizeOf(path) > kNewsBodyLimit) return {};
    try {
        const std::string text = ReadWholeFile(path);
        return text.empty() ? std::vector<NewsItem>{} : ParseNews(text);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace vk
