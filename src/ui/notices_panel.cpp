#include "ui/button_painter.h"
#include "ui/command_rules.h"
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

float DrawNotices(Frame& frame, float top) {
    Canvas& canvas = frame.canvas;
    float y = top;
    for (const Notice& notice : BuildNotices(frame.view)) {
        const NoticeColors& colors = notice.isError ? kErrorColors : kWarningColors;
        const Rect n{16, y, 984, y + 40};
        canvas.FillRect(n, colors.fill, 1, 4);
        canvas.StrokeRect(n, colors.outline, 1, 4, 1);
        canvas.DrawGlyph(colors.glyph, {n.left + 12, n.top, n.left + 34, n.top + 40}, TextStyle::Icon16, colors.icon,
                         1);
        float textRight = n.right - 12;
        if (notice.offersFullMap) {
            const std::wstring label = FullMapLabel(frame.view);
            const float bw = canvas.MeasureText(label, TextStyle::Small) + 52;
            DrawButton(canvas, frame.buttons, {textRight - bw, n.top + 5, textRight, n.top + 35},
                       {label, kGlyphDownload, TextStyle::Small}, CmdFullMap, ButtonStyle::Secondary,
                       CommandEnabled(CmdFullMap, FactsOf(frame.view)));
            textRight -= bw + 12;
        }
        const Rect t{n.left + 42, n.top, textRight, n.top + 40};
        canvas.DrawText(notice.text, t, TextStyle::Small, colors.text, TextAlign::Leading, false, 1);
        RegisterCutOffText(canvas, frame.buttons, notice.text, t, TextStyle::Small);
        y += 48;
    }
    return y;
}

}  // namespace vk
