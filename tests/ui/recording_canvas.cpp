#include "recording_canvas.h"

#include <algorithm>
#include <cmath>

#include "state_cases.h"
#include "ui/commands.h"

namespace vk::test {

namespace {

float StyleSize(TextStyle style) {
    switch (style) {
        case TextStyle::Body: return 14;
        case TextStyle::ItemTitle: return 15.5f;
        case TextStyle::PanelTitle:
        case TextStyle::StatusTitle: return 17;
        case TextStyle::Brand: return 52;
        case TextStyle::Tagline: return 21;
        case TextStyle::ActionLabel: return 18;
        default: return 12.5f;
    }
}

bool IsWide(wchar_t c) {
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF) || (c >= 0x3000 && c <= 0x303F);
}

DrawOp Op(OpKind kind, const Rect& rect, Color color = 0, float opacity = 1, float radius = 0) {
    DrawOp op;
    op.kind = kind;
    op.rect = rect;
    op.color = color;
    op.opacity = opacity;
    op.radius = radius;
    return op;
}

}  // namespace

float DefaultTextWidth(const std::wstring& text, TextStyle style) {
    float units = 0;
    for (wchar_t c : text) units += IsWide(c) ? 14.0f : 7.0f;
    return units * StyleSize(style) / 12.5f;
}

const DrawOp* RecordingCanvas::FindText(const std::wstring& text) const {
    for (const DrawOp& op : ops) {
        if (op.kind == OpKind::Text && op.text == text) return &op;
    }
    return nullptr;
}

const DrawOp* RecordingCanvas::FindFill(const Rect& rect) const {
    const DrawOp* found = nullptr;
    for (const DrawOp& op : ops) {
        if (op.kind == OpKind::FillRect && op.rect == rect) found = &op;
    }
    return found;
}

std::vector<const DrawOp*> RecordingCanvas::TextsAt(float x, float y) const {
    std::vector<const DrawOp*> found;
    for (const DrawOp& op : ops) {
        if (op.kind == OpKind::Text && op.rect.Contains(x, y)) found.push_back(&op);
    }
    return found;
}

void RecordingCanvas::FillRect(const Rect& rect, Color color, float opacity, float radius) {
    ops.push_back(Op(OpKind::FillRect, rect, color, opacity, radius));
}

void RecordingCanvas::StrokeRect(const Rect& rect, Color color, float, float radius, float opacity) {
    ops.push_back(Op(OpKind::StrokeRect, rect, color, opacity, radius));
}

void RecordingCanvas::DrawDivider(float x1, float y1, float x2, float y2, float, float opacity) {
    ops.push_back(Op(OpKind::Divider, {x1, y1, x2, y2}, 0x2E2E31, opacity));
}

void RecordingCanvas::FillCircle(Point center, float radius, Color color) {
    ops.push_back(
        Op(OpKind::Circle, {center.x - radius, center.y - radius, center.x + radius, center.y + radius}, color));
}

void RecordingCanvas::FillFade(const Rect& rect) { ops.push_back(Op(OpKind::Fade, rect)); }

void RecordingCanvas::DrawText(const std::wstring& text, const Rect& rect, TextStyle style, Color color,
                               TextAlign align, bool multiline, float opacity) {
    DrawOp op = Op(OpKind::Text, rect, color, opacity);
    op.text = text;
    op.style = style;
    op.align = align;
    op.multiline = multiline;
    ops.push_back(op);
}

float RecordingCanvas::MeasureText(const std::wstring& text, TextStyle style) { return measure(text, style); }

float RecordingCanvas::MeasureWrappedHeight(const std::wstring& text, TextStyle style, float width) {
    return std::ceil(measure(text, style) / width) * 18.0f;
}

void RecordingCanvas::DrawGlyph(wchar_t glyph, const Rect& rect, TextStyle style, Color color, float opacity) {
    DrawOp op = Op(OpKind::Glyph, rect, color, opacity);
    op.glyph = glyph;
    op.style = style;
    ops.push_back(op);
}

void RecordingCanvas::DrawAppIcon(const Rect& rect) { ops.push_back(Op(OpKind::AppIcon, rect)); }

void RecordingCanvas::DrawBackgroundImage(const Rect& rect, float cornerRadius, float anchorY) {
    DrawOp op = Op(OpKind::Picture, rect, 0, anchorY, cornerRadius);
    ops.push_back(op);
}

LauncherView ViewInState(LauncherState state) {
    LauncherView view;
    view.state = state;
    const bool checked = state != LauncherState::Checking && state != LauncherState::CheckFailed;
    view.releaseKnown = checked;
    view.serverOnline = checked;
    view.releaseVersion = L"1.4.0";
    view.releaseTotalSize = 30ull << 30;
    view.fullMapSize = 8ull << 30;
    view.installed = checked && state != LauncherState::NotInstalled;
    view.installedBytes = view.installed ? 22ull << 30 : 0;
    view.installDir = L"C:\\Games\\Velkar";
    view.diskFreeBytes = 112ull << 30;
    if (state == LauncherState::CheckFailed) view.statusText = L"The update server could not be reached.";
    if (state == LauncherState::UpdateFailed) view.statusText = L"Disk full.";
    if (state == LauncherState::LauncherTooOld) view.statusText = L"Please download the new launcher.";
    if (state == LauncherState::Updating) {
        view.progress.phase = UpdatePhase::Downloading;
        view.progress.bytesDone = 4ull << 30;
        view.progress.bytesTotal = 10ull << 30;
        view.bytesPerSecond = 8.0 * (1 << 20);
    }
    view.newLauncherVersion = L"2.5.0";
    view.newLauncherSize = 10ull << 20;
    view.selfUpdateBytes = 3670016;  // 3.5 MiB
    // The commands the controller enables with these facts (its rule is tested with the controller).
    const StateCase& expected =
        *std::find_if(kStateCases.begin(), kStateCases.end(), [state](const StateCase& c) { return c.state == state; });
    view.enabled.set();
    view.enabled[CmdPrimary] = expected.primaryEnabled;
    view.enabled[CmdRepair] = expected.repairEnabled;
    view.enabled[CmdInstallFolder] = expected.folderEnabled;
    view.enabled[CmdFullMap] = expected.folderEnabled;
    view.enabled[CmdPlayOffline] = state == LauncherState::Ready;
    view.newsLoaded = true;
    view.news = {{L"2026-05-01", L"Season two", L"第二赛季", L"New maps and a ranked ladder.", L"新地图和排位。"},
                 {L"2026-04-12", L"Patch 1.3", L"1.3 补丁", L"Balance changes.", L"平衡性调整。"},
                 {L"2026-03-30", L"Servers", L"服务器", L"Maintenance done.", L"维护完成。"}};
    return view;
}

}  // namespace vk::test
