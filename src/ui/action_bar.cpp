#include <algorithm>

#include "infra/language_portable.h"
#include "ui/button_painter.h"
#include "ui/commands.h"
#include "ui/palette.h"
#include "ui/panels.h"
#include "ui/progress_text.h"
#include "ui/state_text.h"

namespace vk {

namespace {

constexpr wchar_t kGlyphFolder = 0xE838;
constexpr wchar_t kGlyphRepair = 0xE90F;

Color StatusDotColor(LauncherState state) {
    switch (state) {
        case LauncherState::Checking: return palette::kDotIdle;
        case LauncherState::CheckFailed:
        case LauncherState::UpdateFailed:
        case LauncherState::LauncherTooOld: return palette::kDotError;
        case LauncherState::NotInstalled:
        case LauncherState::UpdateAvailable:
        case LauncherState::Paused: return palette::kDotAttention;
        case LauncherState::Ready: return palette::kDotReady;
        case LauncherState::Updating:
        case LauncherState::SelfUpdating:
        case LauncherState::PreparingRuntime: return palette::kAccent;
    }
    return palette::kDotIdle;
}

void DrawStatus(Frame& frame) {
    Canvas& canvas = frame.canvas;
    canvas.FillCircle({28, 566}, 6, StatusDotColor(frame.view.state));
    canvas.DrawText(StateTitle(frame.view), {42, 552, 228, 580}, TextStyle::StatusTitle, palette::kText,
                    TextAlign::Leading, false, 1);
    const std::wstring detail = StatusDetail(frame.view);
    const Rect d{42, 578, 228, 600};
    canvas.DrawText(detail, d, TextStyle::Small, palette::kSecondaryText, TextAlign::Leading, false, 1);
    RegisterCutOffText(canvas, frame.buttons, detail, d, TextStyle::Small);
}

void DrawInstallFolder(Frame& frame) {
    Canvas& canvas = frame.canvas;
    canvas.DrawText(Localized(L"Install folder", L"安装位置"), {262, 552, 462, 574}, TextStyle::Small,
                    palette::kMutedText, TextAlign::Leading, false, 1);
    const Rect path{262, 576, 462, 598};
    canvas.DrawText(frame.view.installDir, path, TextStyle::Small, palette::kText, TextAlign::Leading, false, 1);
    RegisterCutOffText(canvas, frame.buttons, frame.view.installDir, path, TextStyle::Small);
    DrawButton(canvas, frame.buttons, {466, 569, 496, 599}, {L"", kGlyphFolder, TextStyle::Icon16}, CmdInstallFolder,
               ButtonStyle::Ghost, frame.view.enabled[CmdInstallFolder],
               Localized(L"Change the install folder", L"更改安装位置"));
}

void DrawDisk(Frame& frame, float right) {
    Canvas& canvas = frame.canvas;
    canvas.DrawText(Localized(L"Disk", L"磁盘占用"), {528, 552, right, 574}, TextStyle::Small, palette::kMutedText,
                    TextAlign::Leading, false, 1);
    canvas.DrawText(DiskLine(frame.view), {528, 576, right, 598}, TextStyle::Small, palette::kText, TextAlign::Leading,
                    false, 1);
}

}  // namespace

void DrawActionBar(Frame& frame) {
    Canvas& canvas = frame.canvas;
    const LauncherView& view = frame.view;
    const bool offline = view.enabled[CmdPlayOffline];
    canvas.FillRect({0, 536, 1000, 614}, palette::kActionBar, 1, 0);
    canvas.DrawDivider(0, 536.5f, 1000, 536.5f, 1, 1);
    if (view.state == LauncherState::Updating) {
        canvas.FillRect({0, 536, 1000 * std::min(1.0f, ProgressFraction(view.progress)), 539}, palette::kAccent, 1, 0);
    }
    DrawStatus(frame);
    canvas.DrawDivider(244, 558, 244, 592, 1, 1);
    DrawInstallFolder(frame);
    canvas.DrawDivider(510, 558, 510, 592, 1, 1);
    DrawDisk(frame, offline ? 616.0f : 720.0f);
    if (offline) {
        DrawButton(canvas, frame.buttons, {628, 553, 724, 597}, {Localized(L"Offline", L"仅离线"), 0, TextStyle::Small},
                   CmdPlayOffline, ButtonStyle::Secondary, true);
    }
    DrawButton(canvas, frame.buttons, {732, 553, 776, 597}, {L"", kGlyphRepair, TextStyle::Icon16}, CmdRepair,
               ButtonStyle::Secondary, view.enabled[CmdRepair],
               Localized(L"Repair: verify every file and download only missing or damaged ones",
                         L"校验修复：重新校验全部文件，只下载缺失或损坏的部分"));
    const PrimaryAction primary = PrimaryActionOf(view);
    DrawButton(canvas, frame.buttons, {784, 549, 984, 601}, {primary.label, primary.glyph, TextStyle::ActionLabel},
               CmdPrimary, ButtonStyle::Primary, view.enabled[CmdPrimary]);
}

}  // namespace vk
