// Every launcher state in both languages, painted into a recording canvas: texts, colours, the
// buttons registered and hit-testing of what was painted.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "infra/language.h"
#include "recording_canvas.h"
#include "ui/commands.h"
#include "ui/screen.h"

namespace vk {
namespace {

using test::DrawOp;
using test::OpKind;
using test::RecordingCanvas;
using test::ViewInState;

constexpr Rect kPrimaryRect{784, 549, 984, 601};
constexpr Rect kRepairRect{732, 553, 776, 597};

struct StateCase {
    LauncherState state;
    const wchar_t* titleEn;
    const wchar_t* titleZh;
    const wchar_t* buttonEn;
    const wchar_t* buttonZh;
    const wchar_t* detailEn;
    const wchar_t* detailZh;
    Color dot;
    Color strip;
    std::vector<int> commands;  // registered in painting order, tooltip-only entries left out
    bool primaryEnabled;
    bool repairEnabled;
    bool folderEnabled;
};

const StateCase kStates[] = {
    {LauncherState::Checking, L"Checking for updates", L"正在检查更新", L"Checking", L"检查中",
     L"Contacting the update server\u2026", L"正在连接更新服务器\u2026", 0x85858A, 0x3A3B40, {1, 2, 3, 5, 6, 4}, false,
     false, false},
    {LauncherState::CheckFailed, L"No version info", L"无法获取版本信息", L"Retry", L"重试", L"See the message above",
     L"详情见上方提示", 0xF0574B, 0x9A3A22, {1, 2, 3, 5, 6, 4}, true, false, true},
    {LauncherState::NotInstalled, L"Not installed", L"尚未安装", L"Download", L"下载游戏", L"22.0 GB total",
     L"共 22.0 GB", 0xD8A02A, 0x0E6FC5, {1, 2, 3, 5, 6, 4}, true, false, true},
    {LauncherState::UpdateAvailable, L"Update available", L"有新版本", L"Update", L"更新",
     L"Only changed files are downloaded", L"只下载变化的部分", 0xD8A02A, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true,
     true},
    {LauncherState::Ready, L"Up to date", L"已是最新版本", L"Play", L"启动游戏", L"Version 1.4.0", L"版本 1.4.0",
     0x3FB950, 0x0E6FC5, {1, 2, 3, 8, 5, 7, 6, 4}, true, true, true},
    {LauncherState::Updating, L"Downloading", L"正在下载", L"Pause", L"暂停",
     L"40% \u00B7 4.0 GB / 10.0 GB \u00B7 8.0 MB/s \u00B7 12 min 48 s left",
     L"40% \u00B7 4.0 GB / 10.0 GB \u00B7 8.0 MB/s \u00B7 剩余 12 分 48 秒", 0x1A86F0, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4},
     true, false, false},
    {LauncherState::Paused, L"Paused", L"已暂停", L"Resume", L"继续", L"Downloaded data is kept", L"已下载的部分会保留",
     0xD8A02A, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true, true},
    {LauncherState::UpdateFailed, L"Update failed", L"更新失败", L"Retry", L"重试", L"See the message above",
     L"详情见上方提示", 0xF0574B, 0x0E6FC5, {1, 2, 3, 8, 5, 6, 4}, true, true, true},
    {LauncherState::LauncherTooOld, L"Launcher too old", L"启动器版本过旧", L"Cannot update", L"无法更新",
     L"A new launcher is needed", L"需要新版启动器", 0xF0574B, 0x0E6FC5, {1, 2, 3, 5, 6, 4}, false, false, true},
    {LauncherState::SelfUpdating, L"Updating the launcher", L"正在更新启动器", L"Please wait", L"请稍候",
     L"Reopens when done", L"完成后自动重新打开", 0x1A86F0, 0x0E6FC5, {2}, false, false, false},
    {LauncherState::PreparingRuntime, L"Installing the runtime", L"正在安装运行库", L"Please wait", L"请稍候",
     L"Answer Yes to the Windows prompt", L"请在系统的权限提示里选\u201C是\u201D", 0x1A86F0, 0x0E6FC5,
     {1, 2, 3, 8, 5, 6, 4}, false, false, false},
};

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

    const auto dot = std::find_if(canvas.ops.begin(), canvas.ops.end(), [](const DrawOp& op) { return op.kind == OpKind::Circle; });
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
    // Tooltip-only entries exist exactly for texts cut off in their boxes.
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
    for (const StateCase& c : kStates) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ExpectStateFrame(c, true);
    }
}

TEST(ScreenStates, EveryStateInChinese) {
    for (const StateCase& c : kStates) {
        SCOPED_TRACE(static_cast<int>(c.state));
        ExpectStateFrame(c, false);
    }
}

TEST(ScreenStates, PausingDisablesThePrimaryButton) {
    useEnglish = true;
    LauncherView view = ViewInState(LauncherState::Updating);
    view.pauseRequested = true;
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
