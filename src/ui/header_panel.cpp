#include "infra/language_portable.h"
#include "ui/commands.h"
#include "ui/palette.h"
#include "ui/panels.h"

namespace vk {

namespace {

constexpr Rect kCloseRect{954, 0, 1000, 36};
constexpr Rect kMinimizeRect{908, 0, 954, 36};
constexpr wchar_t kGlyphClose = 0xE8BB;
constexpr wchar_t kGlyphMinimize = 0xE921;
constexpr wchar_t kGlyphLanguage = 0xE774;

}  // namespace

void DrawHeader(Frame& frame) {
    Canvas& canvas = frame.canvas;
    ButtonList& buttons = frame.buttons;
    canvas.FillRect({0, 0, 1000, 36}, palette::kHeaderBar, 1, 0);
    canvas.DrawAppIcon({12, 8, 32, 28});
    if (buttons.IsHovered(CmdClose)) canvas.FillRect(kCloseRect, palette::kCloseHovered, 1, 0);
    if (buttons.IsHovered(CmdMinimize)) canvas.FillRect(kMinimizeRect, palette::kGhostHovered, 1, 0);
    canvas.DrawGlyph(kGlyphClose, kCloseRect, TextStyle::Icon10, palette::kText, 1);
    canvas.DrawGlyph(kGlyphMinimize, kMinimizeRect, TextStyle::Icon10, palette::kText, 1);
    buttons.RegisterButton(kCloseRect, CmdClose, true, {});
    buttons.RegisterButton(kMinimizeRect, CmdMinimize, true, {});

    // The toggle names the language it switches to.
    const std::wstring label = Localized(L"\u4E2D\u6587", L"English");
    const float w = canvas.MeasureText(label, TextStyle::Small) + 40;
    const Rect toggle{900 - w, 5, 900, 31};
    if (buttons.IsHovered(CmdLanguage)) canvas.FillRect(toggle, palette::kGhostHovered, 1, 4);
    canvas.DrawGlyph(kGlyphLanguage, {toggle.left + 6, 5, toggle.left + 26, 31}, TextStyle::Icon16,
                     palette::kSecondaryText, 1);
    canvas.DrawText(label, {toggle.left + 30, 5, toggle.right, 31}, TextStyle::Small, palette::kSecondaryText,
                    TextAlign::Leading, false, 1);
    buttons.RegisterButton(toggle, CmdLanguage, true, {});
    canvas.DrawDivider(0, 35.5f, 1000, 35.5f, 1, 1);
}

void DrawTitleCard(Frame& frame, const Rect& r) {
    Canvas& canvas = frame.canvas;
    canvas.FillRect(r, palette::kCard, 1, 6);
    canvas.DrawBackgroundImage(r, 6, 0.64f);
    canvas.FillFade({r.left, r.top, r.right, r.top + 130});
    canvas.DrawText(L"/", {r.left + 26, r.top + 14, r.left + 66, r.top + 78}, TextStyle::Brand, palette::kAccent,
                    TextAlign::Leading, false, 1);
    canvas.DrawText(L"VELKAR", {r.left + 56, r.top + 14, r.left + 536, r.top + 78}, TextStyle::Brand, palette::kWhite,
                    TextAlign::Leading, false, 1);
    canvas.DrawText(Localized(L"Ready for the next fight", L"准备好，下一场对决"),
                    {r.left + 60, r.top + 72, r.left + 540, r.top + 102}, TextStyle::Tagline, palette::kTagline,
                    TextAlign::Leading, false, 1);
}

}  // namespace vk
