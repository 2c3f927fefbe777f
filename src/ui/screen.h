#pragma once
// One whole frame of the window: the panels in their fixed order, the overlay during a
// self-update and the tooltip over everything.
#include "ui/button_list.h"
#include "ui/canvas.h"
#include "ui/launcher_view.h"
#include "ui/panels.h"

namespace vk {

class Screen {
public:
    // Draws the frame and rebuilds the button list in painting order.
    void Paint(Canvas& canvas, const LauncherView& view);

    ButtonList& buttons() { return buttons_; }
    const ButtonList& buttons() const { return buttons_; }
    NewsScroll& news() { return news_; }

private:
    ButtonList buttons_;
    NewsScroll news_;
};

}  // namespace vk
