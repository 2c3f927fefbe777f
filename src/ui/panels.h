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
// The news panel's heading with the divider below it: the least of the panel that stays in view.
inline constexpr float kNewsHeadingHeight = 46;

// How the notice cards stack between a top and a limit.
struct NoticeStack {
    float cardHeight = 40;
    float pitch = 48;  // from one card's top to the next one's
    float end = 0;     // where the element below the cards starts
};

// Full-size cards (40 high, 8 apart) while they fit above the limit; more cards share the room
// evenly, never overlapping and never passing the limit.
NoticeStack StackNotices(std::size_t count, float top, float limit);

void DrawHeader(Frame& frame);
void DrawTitleCard(Frame& frame, const Rect& rect);
// Returns where the next element starts: top + 48 per notice while they fit above the limit.
float DrawNotices(Frame& frame, float top, float limit);
void DrawNews(Frame& frame, NewsScroll& scroll, const Rect& rect);
void DrawActionBar(Frame& frame);
void DrawFooter(Frame& frame);
void DrawSelfUpdateOverlay(Frame& frame);

// One row per wheel message; false when there is nothing to scroll (no repaint needed).
bool ScrollNews(NewsScroll& scroll, std::size_t itemCount, int wheelDelta);

}  // namespace vk
