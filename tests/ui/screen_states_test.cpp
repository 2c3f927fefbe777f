// Every launcher state in both languages, painted into a recording canvas: texts, colours, the
// buttons registered and hit-testing of what was painted.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "infra/language_portable.h"
#include "recording_canvas.h"
#include "state_cases.h"
#include "ui/commands.h"
#include "ui/screen.h"

namespace vk {
namespace {

using test::DrawOp;
using test::OpKind;
using test::RecordingCanvas;
using test::StateCase;
using test::ViewInState;

constexpr Rect kPrimaryRect{784, 549, 984, 601};
constexpr Rect kRepairRect{732, 553, 776, 597};

const ButtonEntry* EntryWith(const ButtonList& buttons, int command) {
    for (const ButtonEntry& entry : buttons.Entries()) {
        if (entry.command == command) return &entry;
    }
    return nullptr;
}

void ExpectStateFrame(const StateCase& c, bool english) {
    useEnglish = english;
    const std::wstring title = english ? c.titleEn : c.titleZh;
    const std::wstring button = english ? c.buttonEn : c.buttonZh;
    const std::wstring detail = english ? c.detailEn : c.detailZh;
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, ViewInState(c.state));
    const ButtonList& buttons = screen.buttons();

    const DrawOp* titleText = canvas.FindText(title);
    ASSERT_NE(titleText, nullptr);
    EXPECT_EQ(titleText->rect, (Rect{42, 552, 228, 580}));
    EXPECT_EQ(titleText->style, TextStyle::StatusTitle);
    const DrawOp* detailText = canvas.FindText(detail);
    ASSERT_NE(detailText, nullptr);
    EXPECT_EQ(detailText->rect, (Rect{42, 578, 228, 600}));
    EXPECT_EQ(detailText->color, 0xB4B4B8u);

    const auto dot =
        std::find_if(canvas.ops.begin(), canvas.ops.end(), [](const DrawOp& op) { return op.kind == OpKind::Circle; });
    ASSERT_NE(dot, canvas.ops.end());
    EXPECT_EQ(dot->rect, (Rect{22, 560, 34, 572}));
    EXPECT_EQ(dot->color, c.dot);
    const DrawOp* strip = canvas.FindFill({0, 614, 1000, 640});
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->color, c.strip);

    const DrawOp* primaryFill = canvas.FindFill(kPrimaryRect);
    ASSERT_NE(primaryFill, nullptr);
    EXPECT_EQ(primaryFill->color, c.primaryEnabled ? 0x0E78D5u : 0x34353Au);
    const DrawOp* label = canvas.FindText(button);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->style, TextStyle::ActionLabel);
    EXPECT_EQ(label->color, c.primaryEnabled ? 0xFFFFFFu : 0x85858Au);
    EXPECT_EQ(canvas.FindFill(kRepairRect)->color, c.repairEnabled ? 0x2E2F33u : 0x34353Au);
    const DrawOp* disk = canvas.FindText(english ? L"Disk" : L"磁盘占用");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->rect.right, c.state == LauncherState::Ready ? 616 : 720);

    std::vector<int> commands;
    for (const ButtonEntry& entry : buttons.Entries()) {
        if (entry.command != CmdInfo) commands.push_back(entry.command);
    }
    EXPECT_EQ(commands, c.commands);
    if (c.state != LauncherState::SelfUpdating) {
        const ButtonEntry* primary = EntryWith(buttons, CmdPrimary);
        EXPECT_EQ(primary->rect, kPrimaryRect);
        EXPECT_EQ(primary->enabled, c.primaryEnabled);
        EXPECT_EQ(EntryWith(buttons, CmdRepair)->enabled, c.repairEnabled);
        EXPECT_EQ(EntryWith(buttons, CmdInstallFolder)->enabled, c.folderEnabled);
        if (const ButtonEntry* fullMap = EntryWith(buttons, CmdFullMap)) {
            EXPECT_EQ(fullMap->enabled, c.folderEnabled);
        }
        EXPECT_EQ(canvas.FindFill({0, 36, 1000, 640}), nullptr);
    } else {
        const DrawOp* dim = canvas.FindFill({0, 36, 1000, 640});
        ASSERT_NE(dim, nullptr);
        EXPECT_EQ(dim->color, 0u);
        EXPECT_FLOAT_EQ(dim->opacity, 0.6f);
    }
    // The detail line carries its whole text as a tooltip exactly when it is cut off.
    const bool detailCut = canvas.measure(detail, TextStyle::Small) > 186 && c.state != LauncherState::SelfUpdating;
    const bool detailTooltip =
        std::any_of(buttons.Entries().begin(), buttons.Entries().end(), [&](const ButtonEntry& e) {
            return e.command == CmdInfo && e.tooltip == detail && e.rect == Rect{42, 578, 228, 600};
        });
    EXPECT_EQ(detailTooltip, detailCut);
    // Tooltip-only entries exist only for texts cut off in their boxes.
    for (const ButtonEntry& entry : buttons.Entries()) {
        if (entry.command == CmdInfo) {
            EXPECT_GT(canvas.measure(entry.tooltip, TextStyle::Small), entry.rect.Width());
        }
    }
    // Each painted button is what the pointer finds at its centre.
    for (std::size_t i = 0; i < buttons.Entries().size(); ++i) {
        const Rect& r = buttons.Entries()[i].rect;
        EXPECT_EQ(buttons.HitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2), static_cast<int>(i)) << i;
    }
}

TEST(ScreenStates, EveryStateInEnglish) {
    for (const StateCase& c : test::kStateCases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ExpectStateFrame(c, true);
    }
}

TEST(ScreenStates, EveryStateInChinese) {
    for (const StateCase& c : test::kStateCases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ExpectStateFrame(c, false);
    }
}

TEST(ScreenStates, PausingDisablesThePrimaryButton) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::Updating);
    view.pauseRequested = true;
    view.enabled[CmdPrimary] = false;  // as the controller's rule answers while a pause is requested
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, view);
    EXPECT_EQ(canvas.TextsAt(50, 560).front()->text, L"Pausing");
    EXPECT_NE(canvas.FindText(L"Pausing"), nullptr);
    EXPECT_FALSE(EntryWith(screen.buttons(), CmdPrimary)->enabled);
    EXPECT_EQ(canvas.FindFill(kPrimaryRect)->color, 0x34353Au);
}

TEST(ScreenStates, ProgressLineFollowsTheFractionAndStopsAtTheEdge) {
    const std::pair<std::uint64_t, float> cases[] = {{40, 400}, {100, 1000}, {150, 1000}, {0, 0}};
    for (const auto& [percent, width] : cases) {
        LauncherView view = ViewInState(LauncherState::Updating);
        view.progress.bytesDone = percent;
        view.progress.bytesTotal = 100;
        RecordingCanvas canvas;
        Screen screen;
        screen.Paint(canvas, view);
        const DrawOp* line = canvas.FindFill({0, 536, width, 539});
        ASSERT_NE(line, nullptr) << percent;
        EXPECT_EQ(line->color, 0x1A86F0u);
    }
    RecordingCanvas canvas;
    Screen screen;
    screen.Paint(canvas, ViewInState(LauncherState::Paused));
    for (const DrawOp& op : canvas.ops) EXPECT_FALSE(op.kind == OpKind::FillRect && op.rect.bottom == 539);
}

}  // namespace
}  // namespace vk
