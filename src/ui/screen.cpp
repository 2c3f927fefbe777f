#include "ui/screen.h"

#include "ui/button_painter.h"

namespace vk {

void Screen::Paint(Canvas& canvas, const LauncherView& view) {
    buttons_.Clear();
    Frame frame{canvas, buttons_, view};
    DrawHeader(frame);
    DrawTitleCard(frame, kTitleCardRect);
    const float newsTop = DrawNotices(frame, kNoticesTop);
    DrawNews(frame, news_, {16, newsTop, 984, kNewsBottom});
    DrawActionBar(frame);
    DrawFooter(frame);
    if (view.state == LauncherState::SelfUpdating) DrawSelfUpdateOverlay(frame);
    DrawTooltip(canvas, buttons_);
}

}  // namespace vk
