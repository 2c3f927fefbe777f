#pragma once
// The notice cards above the news: failures to read and the offer of the full map.
#include <string>
#include <vector>

#include "ui/launcher_view.h"

namespace vk {

struct Notice {
    bool isError = false;  // error card rather than warning card
    std::wstring text;
    bool offersFullMap = false;
};

// In order: the state's own error, a failed self-update, a runtime problem, a request that could not be
// taken up, the full-map offer.
std::vector<Notice> BuildNotices(const LauncherView& view);

// "Download full map (1.3 GB)".
std::wstring FullMapLabel(const LauncherView& view);

}  // namespace vk
