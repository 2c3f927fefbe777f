#include "wic_pictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace vk::test {

ComPtr<IWICBitmap> NewBitmap(IWICImagingFactory* imaging, unsigned width, unsigned height) {
    ComPtr<IWICBitmap> bitmap;
    EXPECT_HRESULT_SUCCEEDED(
        imaging->CreateBitmap(width, height, GUID_WICPixelFormat32bppPBGRA, WICBitmapCacheOnLoad, bitmap.put()));
    return bitmap;
}

ComPtr<IWICBitmap> SolidBitmap(IWICImagingFactory* imaging, unsigned width, unsigned height, Color color) {
    const std::uint32_t bgra = 0xFF000000u | color;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, bgra);
    ComPtr<IWICBitmap> bitmap;
    EXPECT_HRESULT_SUCCEEDED(imaging->CreateBitmapFromMemory(width, height, GUID_WICPixelFormat32bppPBGRA, width * 4,
                                                             static_cast<UINT>(pixels.size() * 4),
                                                             reinterpret_cast<BYTE*>(pixels.data()), bitmap.put()));
    return bitmap;
}

Color PixelAt(IWICBitmap* bitmap, unsigned x, unsigned y) {
    const WICRect rect{static_cast<INT>(x), static_cast<INT>(y), 1, 1};
    std::uint32_t bgra = 0;
    EXPECT_HRESULT_SUCCEEDED(bitmap->CopyPixels(&rect, 4, 4, reinterpret_cast<BYTE*>(&bgra)));
    return bgra & 0xFFFFFF;
}

std::string EncodePng(IWICImagingFactory* imaging, IWICBitmap* bitmap) {
    ComPtr<IStream> stream;
    ComPtr<IWICBitmapEncoder> encoder;
    ComPtr<IWICBitmapFrameEncode> frame;
    UINT width = 0;
    UINT height = 0;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put())) ||
        FAILED(imaging->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.put())) ||
        FAILED(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(frame.put(), nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(bitmap->GetSize(&width, &height)) || FAILED(frame->SetSize(width, height)) ||
        FAILED(frame->SetPixelFormat(&format)) || FAILED(frame->WriteSource(bitmap, nullptr)) ||
        FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
        ADD_FAILURE() << "PNG encoding failed";
        return {};
    }
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::string bytes(static_cast<std::size_t>(stat.cbSize.QuadPart), '\0');
    const LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG read = 0;
    stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
    bytes.resize(read);
    return bytes;
}

}  // namespace vk::test
