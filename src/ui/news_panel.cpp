#include <algorithm>

#include "infra/language_portable.h"
#include "ui/button_painter.h"
#include "ui/palette.h"
#include "ui/panels.h"

namespace vk {

namespace {

constexpr float kRowHeight = 62;
constexpr wchar_t kGlyphNews = 0xE7C3;

// The text in the interface language, or the other language's when that one is empty.
const std::wstring& InLanguage(const std::wstring& english, const std::wstring& chinese) {
    if (useEnglish) return english.empty() ? chinese : english;
    return chinese.empty() ? english : chinese;
}

void DrawScrollThumb(Canvas& canvas, const Rect& p, const NewsScroll& scroll, std::size_t count) {
    const float n = static_cast<float>(count);
    const float rows = static_cast<float>(scroll.visibleRows);
    const float track = p.Height() - 54;
    const float h = track * rows / n;
    const float top = p.top + 50 + (track - h) * static_cast<float>(scroll.first) / (n - rows);
    canvas.FillRect({p.right - 6, top, p.right - 3, top + h}, palette::kTrack, 1, 1.5f);
}

void DrawNewsRow(Frame& frame, const Rect& p, const NewsEntry& item, float rowY) {
    Canvas& canvas = frame.canvas;
    canvas.DrawGlyph(kGlyphNews, {p.left + 20, rowY + 10, p.left + 44, rowY + 50}, TextStyle::Icon24,
                     palette::kSecondaryText, 1);
    const float dw = canvas.MeasureText(item.date, TextStyle::Body) + 4;
    const float aw = p.Width() - 100 - dw;
    canvas.DrawText(InLanguage(item.titleEn, item.titleZh), {p.left + 64, rowY + 8, p.left + 64 + aw, rowY + 32},
                    TextStyle::ItemTitle, palette::kText, TextAlign::Leading, false, 1);
    const std::wstring& body = InLanguage(item.bodyEn, item.bodyZh);
    const Rect b{p.left + 64, rowY + 32, p.left + 64 + aw, rowY + 54};
    canvas.DrawText(body, b, TextStyle::Small, palette::kSecondaryText, TextAlign::Leading, false, 1);
    canvas.DrawText(item.date, {p.right - 24 - dw, rowY, p.right - 24, rowY + kRowHeight}, TextStyle::Body,
                    palette::kSecondaryText, TextAlign::Trailing, false, 1);
    RegisterCutOffText(canvas, frame.buttons, body, b, TextStyle::Small);
}

}  // namespace

void DrawNews(Frame& frame, NewsScroll& scroll, const Rect& p) {
    Canvas& canvas = frame.canvas;
    canvas.FillRect(p, palette::kCard, 1, 4);
    canvas.StrokeRect(p, palette::kDivider, 1, 4, 1);
    canvas.FillRect({p.left + 12, p.top + 14, p.left + 15, p.top + 32}, palette::kAccent, 1, 0);
    canvas.DrawText(Localized(L"News", L"最新动态"), {p.left + 24, p.top + 6, p.left + 324, p.top + 40},
                    TextStyle::PanelTitle, palette::kText, TextAlign::Leading, false, 1);
    canvas.DrawDivider(p.left + 1, p.top + 44, p.right - 1, p.top + 44, 1, 1);

    const std::vector<NewsEntry>& news = frame.view.news;
    scroll.visibleRows = static_cast<std::uint64_t>(std::max(0.0f, (p.Height() - kNewsHeadingHeight) / kRowHeight));
    const auto n = static_cast<std::int64_t>(news.size());
    const auto rows = static_cast<std::int64_t>(scroll.visibleRows);
    scroll.first = std::clamp<std::int64_t>(scroll.first, 0, n > rows ? n - rows : 0);
    if (n == 0) {
        canvas.DrawText(frame.view.newsLoaded ? Localized(L"No news yet", L"暂无动态")
                                              : Localized(L"Loading\u2026", L"正在获取\u2026"),
                        {p.left + 24, p.top + 50, p.left + 424, p.top + 90}, TextStyle::Body, palette::kMutedText,
                        TextAlign::Leading, false, 1);
        return;
    }
    // No thumb while no row fits: it would have no height and would sit below the panel.
    if (n > rows && rows > 0) DrawScrollThumb(canvas, p, scroll, news.size());
    float rowY = p.top + kNewsHeadingHeight;
    for (std::int64_t i = scroll.first; i < n && i < scroll.first + rows; ++i) {
        if (i > scroll.first) canvas.DrawDivider(p.left + 24, rowY, p.right - 24, rowY, 1, 1);
        DrawNewsRow(frame, p, news[static_cast<std::size_t>(i)], rowY);
        rowY += kRowHeight;
    }
}

bool ScrollNews(NewsScroll& scroll, std::size_t itemCount, int wheelDelta) {
    const auto n = static_cast<std::int64_t>(itemCount);
    const auto rows = static_cast<std::int64_t>(scroll.visibleRows);
    if (n <= rows) return false;
    const std::int64_t step = wheelDelta > 0 ? -1 : 1;
    scroll.first = std::clamp<std::int64_t>(scroll.first + step, 0, n - rows);
    return true;
}

}  // namespace vk
