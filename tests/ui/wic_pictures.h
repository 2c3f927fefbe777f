#pragma once
// Pictures for the drawing tests: bitmaps to draw into, their pixels, and PNG files of them.
#include <cstdint>
#include <string>

#include "infra/handles.h"
#include "ui/renderer.h"

namespace vk::test {

// A blank premultiplied BGRA bitmap; filled with one colour when colour is given.
ComPtr<IWICBitmap> NewBitmap(IWICImagingFactory* imaging, unsigned width, unsigned height);
ComPtr<IWICBitmap> SolidBitmap(IWICImagingFactory* imaging, unsigned width, unsigned height, Color color);

// The pixel as 0xRRGGBB.
Color PixelAt(IWICBitmap* bitmap, unsigned x, unsigned y);

std::string EncodePng(IWICImagingFactory* imaging, IWICBitmap* bitmap);

}  // namespace vk::test
