#include "platform/news.h"

#include <algorithm>
#include <ctime>
#include <cwchar>
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

bool IsAddressNumber(const std::wstring& part) {
    return !part.empty() && part.size() <= 3 && part.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// localhost, or 127.0.0.0/8 written as four numbers.
bool IsLoopbackHost(const std::wstring& host) {
    if (_wcsicmp(host.c_str(), L"localhost") == 0) return true;
    int parts = 0;
    for (std::size_t start = 0; start <= host.size(); ++parts) {
        const std::size_t dot = std::min(host.find(L'.', start), host.size());
        const std::wstring part = host.substr(start, dot - start);
        if (!IsAddressNumber(part) || (parts == 0 && part != L"127")) return false;
        start = dot + 1;
    }
    return parts == 4;
}

void RefuseAboveLimit(std::uint64_t received, std::uint64_t announced) {
    if (received > kNewsBodyLimit || announced > kNewsBodyLimit) {
        throw std::runtime_error(Localized("The news file is too large.", "动态文件过大。"));
    }
}

}  // namespace

bool NewsSourceTrusted(const std::string& baseUrl) {
    try {
        const ParsedUrl url = CrackUrl(baseUrl);
        return url.https || IsLoopbackHost(url.host);
    } catch (const std::exception&) {
        return false;
    }
}

std::vector<NewsItem> RefreshNews(const Updater& config) {
    if (!NewsSourceTrusted(config.baseUrl)) return {};
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
    if (config.cacheDir.empty() || !NewsSourceTrusted(config.baseUrl)) return {};
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
