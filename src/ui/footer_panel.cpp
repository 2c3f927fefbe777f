#include <algorithm>

#include "engine/launcher_version.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "ui/commands.h"
#include "ui/palette.h"
#include "ui/panels.h"
#include "ui/progress_text.h"
#include "ui/state_text.h"

namespace vk {

namespace {

constexpr wchar_t kGlyphServer = 0xE968;

Color ServerStripColor(const LauncherView& view) {
    if (view.serverOnline) return palette::kServerOnline;
    return view.state == LauncherState::Checking ? palette::kServerConnecting : palette::kServerUnreachable;
}

}  // namespace

void DrawFooter(Frame& frame) {
    Canvas& canvas = frame.canvas;
    canvas.FillRect({0, 614, 1000, 640}, ServerStripColor(frame.view), 1, 0);
    canvas.DrawGlyph(kGlyphServer, {10, 614, 32, 640}, TextStyle::Icon16, palette::kWhite, 1);
    canvas.DrawText(ServerText(frame.view), {38, 614, 338, 640}, TextStyle::Small, palette::kWhite, TextAlign::Leading,
                    false, 1);
    canvas.DrawText(VersionLine(frame.view), {500, 614, 986, 640}, TextStyle::Small, palette::kWhite,
                    TextAlign::Trailing, false, 1);
}

void DrawSelfUpdateOverlay(Frame& frame) {
    Canvas& canvas = frame.canvas;
    const LauncherView& view = frame.view;
    // Only minimising stays possible while the launcher replaces itself.
    frame.buttons.Clear();
    canvas.FillRect({0, 36, 1000, 640}, palette::kDim, palette::kDimOpacity, 0);
    const Rect c{280, 235, 720, 405};
    canvas.FillRect(c, palette::kCard, 1, 8);
    canvas.StrokeRect(c, palette::kDivider, 1, 8, 1);
    canvas.DrawAppIcon({c.left + 24, c.top + 24, c.left + 56, c.top + 56});
    canvas.DrawText(Localized(L"Updating the launcher", L"正在更新启动器"),
                    {c.left + 70, c.top + 20, c.left + 410, c.top + 46}, TextStyle::PanelTitle, palette::kText,
                    TextAlign::Leading, false, 1);
    canvas.DrawText(Utf8ToWide(LauncherVersion) + L"  \u2192  " + view.newLauncherVersion,
                    {c.left + 70, c.top + 44, c.left + 410, c.top + 64}, TextStyle::Small, palette::kSecondaryText,
                    TextAlign::Leading, false, 1);
    const std::uint64_t total = view.newLauncherSize;
    const std::uint64_t done = std::min(view.selfUpdateBytes, total);
    canvas.FillRect({c.left + 24, c.top + 88, c.left + 416, c.top + 94}, palette::kTrack, 1, 3);
    if (total > 0) {
        const float fill = 392.0f * static_cast<float>(static_cast<double>(done) / static_cast<double>(total));
        canvas.FillRect({c.left + 24, c.top + 88, c.left + 24 + fill, c.top + 94}, palette::kAccent, 1, 3);
    }
    const std::wstring line =
        done < total ? FormatSize(done) + L" / " + FormatSize(total)
                     : Localized(L"Downloaded. Opening the new version\u2026", L"下载完成，正在打开新版本\u2026");
    canvas.DrawText(line, {c.left + 24, c.top + 104, c.left + 416, c.top + 126}, TextStyle::Small,
                    palette::kSecondaryText, TextAlign::Leading, false, 1);
    canvas.DrawText(
        Localized(L"The new launcher opens by itself when done.", L"完成后会自动打开新版启动器，无需操作。"),
        {c.left + 24, c.top + 130, c.left + 416, c.top + 152}, TextStyle::Small, palette::kMutedText,
        TextAlign::Leading, false, 1);
    frame.buttons.RegisterButton({908, 0, 954, 36}, CmdMinimize, true, {});
}

}  // namespace vk
