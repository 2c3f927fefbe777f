#pragma once
// The banner picture named by the signed release: cached under its digest, downloaded only when the
// release names one that the cache does not hold, and always checked against the release.
#include <string>

#include "engine/release.h"
#include "engine/updater.h"

namespace vk {

// The banner's bytes, or empty when the release names none, there is no cache directory, or the
// cache lacks it and downloading is not allowed. A downloaded banner replaces every cached one as
// "banner-<digest>". Throws the download's failures (a wrong size or digest among them) and the
// cache's write failures.
std::string GetBanner(const Updater& config, const LauncherInfo& launcher, bool allowDownload);

}  // namespace vk
