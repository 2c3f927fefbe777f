// Window placement and the cover crop of the title card: pure arithmetic.
#include <gtest/gtest.h>

#include "ui/cover_crop.h"
#include "ui/window_frame.h"

namespace vk {
namespace {

TEST(PlacementFor, SizedForTheDpiAndCentredInTheWorkArea) {
    struct Case {
        RECT work;
        unsigned dpi;
        Placement placement;
    };
    const Case cases[] = {
        {{0, 0, 1920, 1040}, 96, {460, 200, 1000, 640}},
        {{0, 0, 2560, 1400}, 144, {530, 220, 1500, 960}},
        {{1920, 0, 3200, 984}, 96, {2060, 172, 1000, 640}},  // a second monitor
        {{0, 0, 800, 600}, 96, {-100, -20, 1000, 640}},      // smaller than the window: overhangs both sides
    };
    for (const Case& c : cases) EXPECT_EQ(PlacementFor(c.work, c.dpi), c.placement) << c.dpi;
}

TEST(CoverSource, TallerPicturesShowTheAnchoredBandWiderOnesLoseBothSides) {
    const Rect card{16, 52, 984, 324};
    const Rect band = CoverSource(1435, 807, card, 0.64f);
    EXPECT_EQ(band.left, 0);
    EXPECT_EQ(band.right, 1435);
    EXPECT_NEAR(band.Height(), 403.22f, 0.01f);
    EXPECT_NEAR(band.top, 258.42f, 0.01f);
    for (float anchor : {0.0f, 0.64f, 1.0f}) {
        const Rect wide = CoverSource(4000, 200, card, anchor);
        EXPECT_NEAR(wide.left, 4000 - wide.right, 0.01f);
        EXPECT_EQ(wide.top, 0);
    }
    EXPECT_EQ(CoverSource(1435, 807, card, 5).bottom, 807);  // anchor clamped to the bottom
}

}  // namespace
}  // namespace vk
