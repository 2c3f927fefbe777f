#include "ui/renderer.h"

#include <cfloat>

#include "ui/cover_crop.h"
#include "ui/palette.h"

namespace vk {

namespace {

enum class Family { Text, Icon, Brand };

struct FontOfStyle {
    Family family;
    float size;
    DWRITE_FONT_WEIGHT weight;
    DWRITE_FONT_STYLE slant;
};

// In TextStyle order.
constexpr FontOfStyle kStyles[kTextStyleCount] = {
    {Family::Text, 14, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL},     // Body
    {Family::Text, 15.5f, DWRITE_FONT_WEIGHT_BOLD, DWRITE_FONT_STYLE_NORMAL},    // ItemTitle
    {Family::Text, 12.5f, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL},  // Small
    {Family::Text, 17, DWRITE_FONT_WEIGHT_BOLD, DWRITE_FONT_STYLE_NORMAL},       // PanelTitle
    {Family::Text, 17, DWRITE_FONT_WEIGHT_BOLD, DWRITE_FONT_STYLE_NORMAL},       // StatusTitle
    {Family::Brand, 52, DWRITE_FONT_WEIGHT_BLACK, DWRITE_FONT_STYLE_ITALIC},     // Brand
    {Family::Text, 21, DWRITE_FONT_WEIGHT_BOLD, DWRITE_FONT_STYLE_ITALIC},       // Tagline
    {Family::Text, 18, DWRITE_FONT_WEIGHT_BOLD, DWRITE_FONT_STYLE_NORMAL},       // ActionLabel
    {Family::Icon, 16, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL},     // Icon16
    {Family::Icon, 10, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL},     // Icon10
    {Family::Icon, 24, DWRITE_FONT_WEIGHT_NORMAL, DWRITE_FONT_STYLE_NORMAL},     // Icon24
};

constexpr HRESULT kRecreateTarget = static_cast<HRESULT>(0x8899000C);  // D2DERR_RECREATE_TARGET

D2D1_COLOR_F ToColor(Color color, float opacity) {
    return {static_cast<float>((color >> 16) & 0xFF) / 255.0f, static_cast<float>((color >> 8) & 0xFF) / 255.0f,
            static_cast<float>(color & 0xFF) / 255.0f, opacity};
}

D2D1_RECT_F ToRect(const Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool HasFamily(IDWriteFactory* factory, const wchar_t* name) {
    ComPtr<IDWriteFontCollection> fonts;
    if (FAILED(factory->GetSystemFontCollection(fonts.put(), FALSE))) return false;
    UINT32 index = 0;
    BOOL exists = FALSE;
    return SUCCEEDED(fonts->FindFamilyName(name, &index, &exists)) && exists;
}

}  // namespace

bool Renderer::Init(HWND window) {
    window_ = window;
    D2D1_FACTORY_OPTIONS options{};
    if (FAILED(
            D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), &options, d2d_.put_void()))) {
        return false;
    }
    if (FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                   reinterpret_cast<IUnknown**>(dwrite_.put())))) {
        return false;
    }
    // Without imaging the title-card picture and the icon are simply never shown.
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory2, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                                imaging_.put_void()))) {
        imaging_.reset();
    }
    if (!CreateTextFormats()) return false;
    if (window_ != nullptr) dpi_ = GetDpiForWindow(window_);
    return true;
}

bool Renderer::CreateTextFormats() {
    const wchar_t* text = HasFamily(dwrite_.get(), L"Microsoft YaHei UI") ? L"Microsoft YaHei UI" : L"Segoe UI";
    const bool fluent = HasFamily(dwrite_.get(), L"Segoe Fluent Icons");
    const wchar_t* icon = fluent ? L"Segoe Fluent Icons" : L"Segoe MDL2 Assets";
    iconFont_ = fluent || HasFamily(dwrite_.get(), icon);
    for (int i = 0; i < kTextStyleCount; ++i) {
        const FontOfStyle& font = kStyles[i];
        const wchar_t* family = font.family == Family::Text   ? text
                                : font.family == Family::Icon ? icon
                                                              : L"Segoe UI Black";
        auto& format = formats_[static_cast<std::size_t>(i)];
        if (FAILED(dwrite_->CreateTextFormat(family, nullptr, font.weight, font.slant, DWRITE_FONT_STRETCH_NORMAL,
                                             font.size, L"zh-cn", format.put()))) {
            return false;
        }
        dwrite_->CreateEllipsisTrimmingSign(format.get(), trimmingSigns_[static_cast<std::size_t>(i)].put());
    }
    return true;
}

void Renderer::DrawIntoBitmap(IWICBitmap* bitmap, unsigned dpi) {
    DiscardDeviceResources();
    bitmapTarget_ = ComPtr<IWICBitmap>::Share(bitmap);
    dpi_ = dpi;
}

bool Renderer::EnsureTarget() {
    if (target_) return true;
    if (!d2d_) return false;
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT, D2D1::PixelFormat(DXGI_FORMAT_UNKNOWN, D2D1_ALPHA_MODE_UNKNOWN),
        static_cast<float>(dpi_), static_cast<float>(dpi_));
    if (bitmapTarget_) {
        const D2D1_RENDER_TARGET_PROPERTIES bitmapProperties =
            D2D1::RenderTargetProperties(D2D1_RENDER_TARGET_TYPE_DEFAULT,
                                         D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED),
                                         static_cast<float>(dpi_), static_cast<float>(dpi_));
        if (FAILED(d2d_->CreateWicBitmapRenderTarget(bitmapTarget_.get(), bitmapProperties, target_.put())))
            return false;
    } else {
        if (window_ == nullptr) return false;
        RECT client{};
        GetClientRect(window_, &client);
        const D2D1_HWND_RENDER_TARGET_PROPERTIES windowProperties =
            D2D1::HwndRenderTargetProperties(window_, D2D1::SizeU(static_cast<UINT32>(client.right - client.left),
                                                                  static_cast<UINT32>(client.bottom - client.top)));
        if (FAILED(d2d_->CreateHwndRenderTarget(properties, windowProperties, windowTarget_.put()))) return false;
        target_ = ComPtr<ID2D1RenderTarget>::Share(windowTarget_.get());
    }
    target_->SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);
    if (FAILED(target_->CreateSolidColorBrush(D2D1::ColorF(0, 0, 0, 1), brush_.put()))) {
        DiscardDeviceResources();
        return false;
    }
    return true;
}

void Renderer::DiscardDeviceResources() {
    pictureBitmap_.reset();
    iconBitmap_.reset();
    brush_.reset();
    windowTarget_.reset();
    target_.reset();
}

void Renderer::Resize() {
    if (!windowTarget_) return;
    RECT client{};
    GetClientRect(window_, &client);
    windowTarget_->Resize(
        D2D1::SizeU(static_cast<UINT32>(client.right - client.left), static_cast<UINT32>(client.bottom - client.top)));
}

void Renderer::SetDpi(unsigned dpi) {
    dpi_ = dpi;
    if (target_) target_->SetDpi(static_cast<float>(dpi), static_cast<float>(dpi));
}

void Renderer::BeginFrame(Color clearColor) {
    target_->BeginDraw();
    target_->SetTransform(D2D1::Matrix3x2F::Identity());
    target_->Clear(ToColor(clearColor, 1));
}

bool Renderer::EndFrame() { return target_->EndDraw() == kRecreateTarget; }

ComPtr<IWICBitmap> Renderer::Decode(IWICBitmapSource* source) {
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmap> bitmap;
    if (FAILED(imaging_->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(source, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(imaging_->CreateBitmapFromSource(converter.get(), WICBitmapCacheOnLoad, bitmap.put()))) {
        return {};
    }
    return bitmap;
}

bool Renderer::SetBackgroundImage(const std::string& bytes) {
    if (!imaging_ || bytes.empty()) return false;
    ComPtr<IWICStream> stream;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    UINT width = 0;
    UINT height = 0;
    if (FAILED(imaging_->CreateStream(stream.put())) ||
        FAILED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                            static_cast<DWORD>(bytes.size()))) ||
        FAILED(
            imaging_->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&width, &height))) {
        return false;
    }
    if (width > kLargestPictureSide || height > kLargestPictureSide) return false;
    ComPtr<IWICBitmap> picture = Decode(frame.get());
    if (!picture) return false;
    picture_ = picture;
    pictureBitmap_.reset();
    return true;
}

bool Renderer::SetAppIcon(HICON icon) {
    if (!imaging_ || icon == nullptr) return false;
    ComPtr<IWICBitmap> source;
    if (FAILED(imaging_->CreateBitmapFromHICON(icon, source.put()))) return false;
    ComPtr<IWICBitmap> converted = Decode(source.get());
    if (!converted) return false;
    icon_ = converted;
    iconBitmap_.reset();
    return true;
}

ID2D1SolidColorBrush* Renderer::Brush(Color color, float opacity) {
    if (!brush_) return nullptr;
    brush_->SetColor(ToColor(color, opacity));
    return brush_.get();
}

void Renderer::FillRect(const Rect& rect, Color color, float opacity, float radius) {
    ID2D1SolidColorBrush* brush = Brush(color, opacity);
    if (brush == nullptr) return;
    if (radius > 0)
        target_->FillRoundedRectangle(D2D1::RoundedRect(ToRect(rect), radius, radius), brush);
    else
        target_->FillRectangle(ToRect(rect), brush);
}

void Renderer::StrokeRect(const Rect& rect, Color color, float strokeWidth, float radius, float opacity) {
    ID2D1SolidColorBrush* brush = Brush(color, opacity);
    if (brush == nullptr) return;
    const float inset = strokeWidth * 0.5f;
    const D2D1_RECT_F r{rect.left + inset, rect.top + inset, rect.right - inset, rect.bottom - inset};
    if (radius > 0)
        target_->DrawRoundedRectangle(D2D1::RoundedRect(r, radius, radius), brush, strokeWidth);
    else
        target_->DrawRectangle(r, brush, strokeWidth);
}

void Renderer::DrawDivider(float x1, float y1, float x2, float y2, float strokeWidth, float opacity) {
    ID2D1SolidColorBrush* brush = Brush(palette::kDivider, opacity);
    if (brush == nullptr) return;
    target_->DrawLine({x1, y1}, {x2, y2}, brush, strokeWidth);
}

void Renderer::FillCircle(Point center, float radius, Color color) {
    ID2D1SolidColorBrush* brush = Brush(color, 1);
    if (brush == nullptr) return;
    target_->FillEllipse(D2D1::Ellipse({center.x, center.y}, radius, radius), brush);
}

void Renderer::FillFade(const Rect& rect) {
    if (!target_) return;
    const D2D1_GRADIENT_STOP stops[] = {{0, ToColor(0, 0.45f)}, {1, ToColor(0, 0)}};
    ComPtr<ID2D1GradientStopCollection> collection;
    ComPtr<ID2D1LinearGradientBrush> brush;
    if (FAILED(target_->CreateGradientStopCollection(stops, 2, D2D1_GAMMA_2_2, D2D1_EXTEND_MODE_CLAMP,
                                                     collection.put())) ||
        FAILED(target_->CreateLinearGradientBrush(
            D2D1::LinearGradientBrushProperties({rect.left, rect.top}, {rect.left, rect.bottom}), collection.get(),
            brush.put()))) {
        return;
    }
    target_->FillRectangle(ToRect(rect), brush.get());
}

ComPtr<IDWriteTextLayout> Renderer::Layout(const std::wstring& text, TextStyle style, float width, float height,
                                           TextAlign align, bool multiline) {
    const auto index = static_cast<std::size_t>(style);
    ComPtr<IDWriteTextLayout> layout;
    if (!dwrite_ || !formats_[index] ||
        FAILED(dwrite_->CreateTextLayout(text.c_str(), static_cast<UINT32>(text.size()), formats_[index].get(),
                                         std::max(1.0f, width), std::max(1.0f, height), layout.put()))) {
        return {};
    }
    layout->SetTextAlignment(align == TextAlign::Leading  ? DWRITE_TEXT_ALIGNMENT_LEADING
                             : align == TextAlign::Center ? DWRITE_TEXT_ALIGNMENT_CENTER
                                                          : DWRITE_TEXT_ALIGNMENT_TRAILING);
    layout->SetWordWrapping(multiline ? DWRITE_WORD_WRAPPING_WRAP : DWRITE_WORD_WRAPPING_NO_WRAP);
    layout->SetParagraphAlignment(multiline ? DWRITE_PARAGRAPH_ALIGNMENT_NEAR : DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
    layout->SetTrimming(&trimming, trimmingSigns_[index].get());
    return layout;
}

void Renderer::DrawText(const std::wstring& text, const Rect& rect, TextStyle style, Color color, TextAlign align,
                        bool multiline, float opacity) {
    ID2D1SolidColorBrush* brush = Brush(color, opacity);
    if (brush == nullptr) return;
    ComPtr<IDWriteTextLayout> layout = Layout(text, style, rect.Width(), rect.Height(), align, multiline);
    if (!layout) return;
    target_->DrawTextLayout({rect.left, rect.top}, layout.get(), brush, D2D1_DRAW_TEXT_OPTIONS_CLIP);
}

float Renderer::MeasureText(const std::wstring& text, TextStyle style) {
    ComPtr<IDWriteTextLayout> layout = Layout(text, style, 10000, 100, TextAlign::Leading, false);
    DWRITE_TEXT_METRICS metrics{};
    if (!layout || FAILED(layout->GetMetrics(&metrics))) return 0;
    return metrics.widthIncludingTrailingWhitespace;
}

float Renderer::MeasureWrappedHeight(const std::wstring& text, TextStyle style, float width) {
    ComPtr<IDWriteTextLayout> layout = Layout(text, style, width, 10000, TextAlign::Leading, true);
    DWRITE_TEXT_METRICS metrics{};
    if (!layout || FAILED(layout->GetMetrics(&metrics))) return 0;
    return metrics.height;
}

void Renderer::DrawGlyph(wchar_t glyph, const Rect& rect, TextStyle style, Color color, float opacity) {
    // Without an icon font the private-use code points have no shape in any font; laying them out
    // would only cost a fallback search per glyph.
    if (!iconFont_) return;
    DrawText(std::wstring(1, glyph), rect, style, color, TextAlign::Center, false, opacity);
}

ID2D1Bitmap* Renderer::DeviceBitmap(const ComPtr<IWICBitmap>& source, ComPtr<ID2D1Bitmap>& cached) {
    if (!cached && source && target_) {
        const D2D1_BITMAP_PROPERTIES properties = D2D1::BitmapProperties(
            D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), 96, 96);
        if (FAILED(target_->CreateBitmapFromWicBitmap(source.get(), &properties, cached.put()))) cached.reset();
    }
    return cached.get();
}

void Renderer::DrawAppIcon(const Rect& rect) {
    ID2D1Bitmap* bitmap = DeviceBitmap(icon_, iconBitmap_);
    if (bitmap == nullptr) return;
    target_->DrawBitmap(bitmap, ToRect(rect), 1, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, nullptr);
}

void Renderer::DrawBackgroundImage(const Rect& rect, float cornerRadius, float anchorY) {
    ID2D1Bitmap* bitmap = DeviceBitmap(picture_, pictureBitmap_);
    if (bitmap == nullptr) return;
    const D2D1_SIZE_F size = bitmap->GetSize();
    const D2D1_RECT_F source = ToRect(CoverSource(size.width, size.height, rect, anchorY));
    ComPtr<ID2D1RoundedRectangleGeometry> clip;
    ComPtr<ID2D1Layer> layer;
    const bool clipped = cornerRadius > 0 &&
                         SUCCEEDED(d2d_->CreateRoundedRectangleGeometry(
                             D2D1::RoundedRect(ToRect(rect), cornerRadius, cornerRadius), clip.put())) &&
                         SUCCEEDED(target_->CreateLayer(nullptr, layer.put()));
    if (clipped) {
        target_->PushLayer(D2D1::LayerParameters(D2D1::InfiniteRect(), clip.get(), D2D1_ANTIALIAS_MODE_PER_PRIMITIVE),
                           layer.get());
    }
    target_->DrawBitmap(bitmap, ToRect(rect), 1, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR, &source);
    if (clipped) target_->PopLayer();
}

}  // namespace vk
