#pragma once
// A canvas that records every drawing call, with text widths given by the test instead of fonts.
#include <functional>
#include <string>
#include <vector>

#include "ui/canvas.h"
#include "ui/launcher_view.h"

namespace vk::test {

enum class OpKind { FillRect, StrokeRect, Divider, Circle, Fade, Text, Glyph, AppIcon, Picture };

struct DrawOp {
    OpKind kind = OpKind::FillRect;
    Rect rect;
    Color color = 0;
    float opacity = 1;
    float radius = 0;
    std::wstring text;
    TextStyle style = TextStyle::Body;
    TextAlign align = TextAlign::Leading;
    bool multiline = false;
    wchar_t glyph = 0;
};

// Width of a text: the default counts 7 DIPs per character (14 for CJK ideographs and full-width
// forms), scaled by the style's size against 12.5.
float DefaultTextWidth(const std::wstring& text, TextStyle style);

class RecordingCanvas final : public Canvas {
public:
    std::function<float(const std::wstring&, TextStyle)> measure = DefaultTextWidth;
    std::vector<DrawOp> ops;

    // The first text drawn with exactly this content, or null.
    const DrawOp* FindText(const std::wstring& text) const;
    // The last fill of exactly this rectangle, or null.
    const DrawOp* FindFill(const Rect& rect) const;
    // Every text drawn whose box contains the point.
    std::vector<const DrawOp*> TextsAt(float x, float y) const;

    void FillRect(const Rect& rect, Color color, float opacity, float radius) override;
    void StrokeRect(const Rect& rect, Color color, float strokeWidth, float radius, float opacity) override;
    void DrawDivider(float x1, float y1, float x2, float y2, float strokeWidth, float opacity) override;
    void FillCircle(Point center, float radius, Color color) override;
    void FillFade(const Rect& rect) override;
    void DrawText(const std::wstring& text, const Rect& rect, TextStyle style, Color color, TextAlign align,
                  bool multiline, float opacity) override;
    float MeasureText(const std::wstring& text, TextStyle style) override;
    float MeasureWrappedHeight(const std::wstring& text, TextStyle style, float width) override;
    void DrawGlyph(wchar_t glyph, const Rect& rect, TextStyle style, Color color, float opacity) override;
    void DrawAppIcon(const Rect& rect) override;
    void DrawBackgroundImage(const Rect& rect, float cornerRadius, float anchorY) override;
};

// A view of the given state with the facts a launcher in that state would have: a known release
// of 30 GiB with an 8 GiB full map, an install where the state implies one, a failure text in the
// failed states, a download at 40 % while updating and a self-update at 3.5 of 10 MB.
LauncherView ViewInState(LauncherState state);

}  // namespace vk::test
