#include "ui/button_painter.h"

#include <algorithm>

#include "ui/commands.h"
#include "ui/palette.h"

namespace vk {

namespace {

constexpr float kButtonRadius = 4;
constexpr float kGlyphAdvance = 28;  // glyph box 20 wide plus the gap before the label

// Fill of the button; false for a ghost button that shows none.
bool ButtonFill(ButtonStyle style, bool enabled, bool hovered, Color& fill) {
    if (style == ButtonStyle::Ghost) {
        fill = palette::kGhostHovered;
        return hovered;
    }
    if (!enabled)
        fill = palette::kDisabled;
    else if (style == ButtonStyle::Primary)
        fill = hovered ? palette::kPrimaryHovered : palette::kPrimary;
    else
        fill = hovered ? palette::kSecondaryHovered : palette::kSecondary;
    return true;
}

}  // namespace

void DrawButton(Canvas& canvas, ButtonList& buttons, const Rect& rect, const ButtonFace& face, int command,
                ButtonStyle style, bool enabled, std::wstring tooltip) {
    const bool hovered = enabled && buttons.IsHovered(command);
    Color fill = 0;
    if (ButtonFill(style, enabled, hovered, fill)) canvas.FillRect(rect, fill, 1, kButtonRadius);
    const Color foreground = !enabled                        ? palette::kMutedText
                             : style == ButtonStyle::Primary ? palette::kWhite
                                                             : palette::kText;
    if (face.label.empty()) {
        if (face.glyph != 0) canvas.DrawGlyph(face.glyph, rect, face.textStyle, foreground, 1);
    } else {
        const float content = canvas.MeasureText(face.label, face.textStyle) + (face.glyph != 0 ? kGlyphAdvance : 0);
        float x = (rect.left + rect.right - content) * 0.5f;
        if (face.glyph != 0) {
            const TextStyle glyphStyle =
                face.textStyle == TextStyle::ActionLabel ? TextStyle::Icon24 : TextStyle::Icon16;
            canvas.DrawGlyph(face.glyph, {x, rect.top, x + 20, rect.bottom}, glyphStyle, foreground, 1);
            x += kGlyphAdvance;
        }
        canvas.DrawText(face.label, {x, rect.top, rect.right, rect.bottom}, face.textStyle, foreground,
                        TextAlign::Leading, false, 1);
    }
    buttons.RegisterButton(rect, command, enabled, std::move(tooltip));
}

void DrawTooltip(Canvas& canvas, const ButtonList& buttons) {
    const ButtonEntry* entry = buttons.HoveredEntry();
    if (entry == nullptr || entry->tooltip.empty()) return;
    const float w = std::min(460.0f, canvas.MeasureText(entry->tooltip, TextStyle::Small) + 24);
    const float h = canvas.MeasureWrappedHeight(entry->tooltip, TextStyle::Small, w - 24);
    const float x = std::clamp((entry->rect.left + entry->rect.right - w) * 0.5f, 8.0f, 992.0f - w);
    float y = entry->rect.top - (h + 14) - 6;
    if (y < 40) y = entry->rect.bottom + 6;
    const Rect box{x, y, x + w, y + h + 14};
    canvas.FillRect(box, palette::kTooltipFill, 1, 4);
    canvas.StrokeRect(box, palette::kTooltipOutline, 1, 4, 1);
    canvas.DrawText(entry->tooltip, {x + 12, y + 7, x + 12 + (w - 24), y + 7 + h + 4}, TextStyle::Small, palette::kText,
                    TextAlign::Leading, true, 1);
}

void RegisterCutOffText(Canvas& canvas, ButtonList& buttons, const std::wstring& text, const Rect& box,
                        TextStyle style) {
    if (canvas.MeasureText(text, style) > box.Width()) buttons.RegisterButton(box, CmdInfo, true, text);
}

}  // namespace vk
