#include "ui/screen.h"

#include "ui/button_painter.h"
#include "ui/commands.h"

namespace vk {

void Screen::Paint(Canvas& canvas, const LauncherView& view) {
    const bool overlay = view.state == LauncherState::SelfUpdating;
    // The overlay leaves only minimising alive: a hover recorded over anything else before it took the
    // window would keep its colour (the close button's red) until the pointer moved.
    if (overlay && !buttons_.IsHovered(CmdMinimize)) buttons_.SetHovered(-1);
    buttons_.Clear();
    Frame frame{canvas, buttons_, view};
    DrawHeader(frame);
    DrawTitleCard(frame, kTitleCardRect);
    const float newsTop = DrawNotices(frame, kNoticesTop, kNewsBottom - kNewsHeadingHeight);
    DrawNews(frame, news_, {16, newsTop, 984, kNewsBottom});
    DrawActionBar(frame);
    DrawFooter(frame);
    if (overlay) DrawSelfUpdateOverlay(frame);
    DrawTooltip(canvas, buttons_);
}

}  // namespace vk
