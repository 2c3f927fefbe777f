#pragma once
// The canvas drawn with Direct2D, DirectWrite and the Windows Imaging Component: into the window,
// or into a bitmap for pictures of the screen. It owns the device resources and rebuilds them after
// a device loss. Interface thread only.
#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>
#include <windows.h>

#include <array>
#include <string>

#include "infra/handles.h"
#include "ui/canvas.h"

#undef DrawText

namespace vk {

// Larger pictures are refused: Direct2D cannot make bitmaps of them, and decoding one whole would
// hold the interface thread and hundreds of megabytes.
inline constexpr unsigned kLargestPictureSide = 4096;

class Renderer final : public Canvas {
public:
    // Factories and text formats; false when Direct2D, DirectWrite or a text format is missing.
    // window may be null for a renderer that only draws into bitmaps.
    bool Init(HWND window);
    // From now on frames are drawn into the bitmap at the DPI (instead of the window).
    void DrawIntoBitmap(IWICBitmap* bitmap, unsigned dpi);

    // Creates the render target and its brush when there are none; false when that fails.
    bool EnsureTarget();
    void DiscardDeviceResources();
    void Resize();
    void SetDpi(unsigned dpi);
    unsigned Dpi() const { return dpi_; }
    HWND Window() const { return window_; }

    void BeginFrame(Color clearColor);
    // True when the device was lost: discard the device resources and paint again.
    bool EndFrame();

    // Decodes an encoded picture for the title card; false (and the current picture kept) when it
    // is empty, undecodable or larger than kLargestPictureSide on a side.
    bool SetBackgroundImage(const std::string& bytes);
    bool SetAppIcon(HICON icon);
    IWICImagingFactory* Imaging() const { return imaging_.get(); }

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

private:
    bool CreateTextFormats();
    ComPtr<IDWriteTextLayout> Layout(const std::wstring& text, TextStyle style, float width, float height,
                                     TextAlign align, bool multiline);
    ID2D1SolidColorBrush* Brush(Color color, float opacity);
    ComPtr<IWICBitmap> Decode(IWICBitmapSource* source);
    ID2D1Bitmap* DeviceBitmap(const ComPtr<IWICBitmap>& source, ComPtr<ID2D1Bitmap>& cached);

    HWND window_ = nullptr;
    unsigned dpi_ = 96;
    ComPtr<ID2D1Factory> d2d_;
    ComPtr<IDWriteFactory> dwrite_;
    ComPtr<IWICImagingFactory> imaging_;
    ComPtr<IWICBitmap> bitmapTarget_;  // set: frames go into this bitmap instead of the window
    ComPtr<ID2D1RenderTarget> target_;
    ComPtr<ID2D1HwndRenderTarget> windowTarget_;  // the same target as a window target, for resizing
    ComPtr<ID2D1SolidColorBrush> brush_;
    bool iconFont_ = false;
    std::array<ComPtr<IDWriteTextFormat>, kTextStyleCount> formats_;
    std::array<ComPtr<IDWriteInlineObject>, kTextStyleCount> trimmingSigns_;
    ComPtr<IWICBitmap> picture_;
    ComPtr<ID2D1Bitmap> pictureBitmap_;
    ComPtr<IWICBitmap> icon_;
    ComPtr<ID2D1Bitmap> iconBitmap_;
};

}  // namespace vk
