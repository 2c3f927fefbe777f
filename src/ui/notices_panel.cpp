#include <cmath>
#include <vector>

#include "ui/button_painter.h"
#include "ui/commands.h"
#include "ui/notices.h"
#include "ui/palette.h"
#include "ui/panels.h"

namespace vk {

namespace {

struct NoticeColors {
    Color fill;
    Color outline;
    Color icon;
    Color text;
    wchar_t glyph;
};

constexpr NoticeColors kErrorColors{palette::kErrorFill, palette::kErrorOutline, palette::kDotError,
                                    palette::kErrorText, 0xE783};
constexpr NoticeColors kWarningColors{palette::kWarningFill, palette::kWarningOutline, palette::kDotAttention,
                                      palette::kWarningText, 0xE826};
constexpr wchar_t kGlyphDownload = 0xE896;

}  // namespace

NoticeStack StackNotices(std::size_t count, float top, float limit) {
    NoticeStack stack;
    const auto n = static_cast<float>(count);
    if (count > 0 && top + n * stack.pitch > limit) {
        // Whole DIPs keep the cards' edges sharp; a card keeps five sixths of its pitch, as at full size.
        stack.pitch = std::floor((limit - top) / n);
        stack.cardHeight = std::floor(stack.pitch * 5 / 6);
    }
    stack.end = top + n * stack.pitch;
    return stack;
}

float DrawNotices(Frame& frame, float top, float limit) {
    Canvas& canvas = frame.canvas;
    const std::vector<Notice> notices = BuildNotices(frame.view);
    const NoticeStack stack = StackNotices(notices.size(), top, limit);
    // The full-map button keeps 5 DIPs above and below it in a full-size card, proportionally less in a smaller one.
    const float buttonInset = std::floor(stack.cardHeight / 8);
    float y = top;
    for (const Notice& notice : notices) {
        const NoticeColors& colors = notice.isError ? kErrorColors : kWarningColors;
        const Rect n{16, y, 984, y + stack.cardHeight};
        canvas.FillRect(n, colors.fill, 1, 4);
        canvas.StrokeRect(n, colors.outline, 1, 4, 1);
        canvas.DrawGlyph(colors.glyph, {n.left + 12, n.top, n.left + 34, n.bottom}, TextStyle::Icon16, colors.icon, 1);
        float textRight = n.right - 12;
        if (notice.offersFullMap) {
            const std::wstring label = FullMapLabel(frame.view);
            const float bw = canvas.MeasureText(label, TextStyle::Small) + 52;
            DrawButton(canvas, frame.buttons, {textRight - bw, n.top + buttonInset, textRight, n.bottom - buttonInset},
                       {label, kGlyphDownload, TextStyle::Small}, CmdFullMap, ButtonStyle::Secondary,
                       frame.view.enabled[CmdFullMap]);
            textRight -= bw + 12;
        }
        const Rect t{n.left + 42, n.top, textRight, n.bottom};
        canvas.DrawText(notice.text, t, TextStyle::Small, colors.text, TextAlign::Leading, false, 1);
        RegisterCutOffText(canvas, frame.buttons, notice.text, t, TextStyle::Small);
        y += stack.pitch;
    }
    return stack.end;
}

}  // namespace vk
