#pragma once
// The news list: fetched from the update server, cached per user so that it shows at once on the
// next start. The text is plain and bounded (news_format.h); nothing in it is used as a path or command.
#include <cstddef>
#include <string>
#include <vector>

#include "engine/updater.h"
#include "platform/news_format_portable.h"

namespace vk {

// The news file is not signed: a body above this size is refused before it is parsed or cached.
inline constexpr std::size_t kNewsBodyLimit = 1 << 20;

// Whether news may come from the base URL: over HTTPS, or over plain HTTP from this machine (a
// loopback address, as in tests). The news is not signed, so over plain HTTP anything between the
// player and the server could put text and links into the window; the signed content is checked
// whatever carries it.
bool NewsSourceTrusted(const std::string& baseUrl);

// Fetches "Shipping/LauncherNews.json" below the base URL, parses it and, when it parses, stores it
// as news.json in the cache directory (a failure to store is ignored). Throws the fetch and parse
// failures, and "The news file is too large." for a body above the limit. From a source that is not
// trusted nothing is fetched and the list is empty.
std::vector<NewsItem> RefreshNews(const Updater& config);

// The cached list; empty when there is none, it is unreadable, malformed or above the limit, or the
// source is not trusted. Never throws.
std::vector<NewsItem> LoadCachedNews(const Updater& config);

}  // namespace vk
