#pragma once
// The news list: fetched from the update server, cached per user so that it shows at once on the
// next start. The text is plain and bounded (news_format.h); nothing in it is used as a path or command.
#include <cstddef>
#include <vector>

#include "engine/updater.h"
#include "platform/news_format_portable.h"

namespace vk {

// The news file is not signed: a body above this size is refused before it is parsed or cached.
inline constexpr std::size_t kNewsBodyLimit = 1 << 20;

// Fetches "Shipping/LauncherNews.json" below the base URL, parses it and, when it parses, stores it
// as news.json in the cache directory (a failure to store is ignored). Throws the fetch and parse
// failures, and "The news file is too large." for a body above the limit.
std::vector<NewsItem> RefreshNews(const Updater& config);

// The cached list; empty when there is none or it is unreadable, malformed or above the limit. Never throws.
std::vector<NewsItem> LoadCachedNews(const Updater& config);

}  // namespace vk
