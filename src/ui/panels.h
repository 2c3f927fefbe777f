#pragma once
// The panels of the one screen, each drawn from the view record into a canvas. Every panel
// registers the buttons it paints.
#include <cstddef>
#include <cstdint>

#include "ui/button_list.h"
#include "ui/canvas.h"
#include "ui/launcher_view.h"

namespace vk {

struct Frame {
    Canvas& canvas;
    ButtonList& buttons;
    const LauncherView& view;
};

// The first visible news item and the rows that fit; painting clamps both.
struct NewsScroll {
    std::int64_t first = 0;
    std::uint64_t visibleRows = 0;
};

inline constexpr Rect kTitleCardRect{16, 52, 984, 324};
inline constexpr float kNoticesTop = 336;
inline constexpr float kNewsBottom = 520;

void DrawHeader(Frame& frame);
void DrawTitleCard(Frame& frame, const Rect& rect);
// Returns where the next element starts: top + 48 per notice.
float DrawNotices(Frame& frame, float top);
void DrawNews(Frame& frame, NewsScroll& scroll, const Rect& rect);
void DrawActionBar(Frame& frame);
void DrawFooter(Frame& frame);
void DrawSelfUpdateOverlay(Frame& frame);

// One row per wheel message; false when there is nothing to scroll (no repaint needed).
bool ScrollNews(NewsScroll& scroll, std::size_t itemCount, int wheelDelta);

}  // namespace vk
