#pragma once
// The drawing operations the panels use, in device-independent pixels (1/96 inch). The renderer
// draws them with Direct2D; tests record them.
#include <windows.h>

#include <cstdint>
#include <string>

// winuser.h names a function DrawText; the canvas operation of that name must not be renamed.
#undef DrawText

namespace vk {

// 0xRRGGBB; opacity travels separately.
using Color = std::uint32_t;

struct Rect {
    float left = 0;
    float top = 0;
    float right = 0;
    float bottom = 0;

    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    bool Contains(float x, float y) const { return left <= x && x < right && top <= y && y < bottom; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    float x = 0;
    float y = 0;
};

enum class TextStyle {
    Body,         // news dates, empty-list placeholder
    ItemTitle,    // news item titles
    Small,        // labels, values, notices, tooltips, footer
    PanelTitle,   // "News" heading, overlay title
    StatusTitle,  // launcher state title
    Brand,        // the product word and its slash
    Tagline,
    ActionLabel,  // label of the primary action button
    Icon16,
    Icon10,
    Icon24,
};
inline constexpr int kTextStyleCount = 11;

enum class TextAlign { Leading, Center, Trailing };

class Canvas {
public:
    virtual ~Canvas() = default;

    // radius > 0 rounds the corners.
    virtual void FillRect(const Rect& rect, Color color, float opacity, float radius) = 0;
    // The stroke lies entirely inside the rectangle.
    virtual void StrokeRect(const Rect& rect, Color color, float strokeWidth, float radius, float opacity) = 0;
    // A line in the divider colour.
    virtual void DrawDivider(float x1, float y1, float x2, float y2, float strokeWidth, float opacity) = 0;
    virtual void FillCircle(Point center, float radius, Color color) = 0;
    // Black at 0.45 opacity at the top edge fading to nothing at the bottom edge.
    virtual void FillFade(const Rect& rect) = 0;
    // Single-line text is centred vertically; text that does not fit ends in an ellipsis and
    // nothing paints outside the box.
    virtual void DrawText(const std::wstring& text, const Rect& rect, TextStyle style, Color color, TextAlign align,
                          bool multiline, float opacity) = 0;
    // Advance width on one line, trailing spaces included.
    virtual float MeasureText(const std::wstring& text, TextStyle style) = 0;
    virtual float MeasureWrappedHeight(const std::wstring& text, TextStyle style, float width) = 0;
    // One icon-font code unit centred in the rectangle.
    virtual void DrawGlyph(wchar_t glyph, const Rect& rect, TextStyle style, Color color, float opacity) = 0;
    virtual void DrawAppIcon(const Rect& rect) = 0;
    // The title-card picture scaled to cover the rectangle; anchorY picks the visible band
    // (0 top, 1 bottom) when the picture is relatively taller than the rectangle.
    virtual void DrawBackgroundImage(const Rect& rect, float cornerRadius, float anchorY) = 0;
};

}  // namespace vk
