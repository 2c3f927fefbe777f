#pragma once
// Which part of a picture covers a rectangle without distortion.
#include <algorithm>

#include "ui/canvas.h"

namespace vk {

// The source band, in picture pixels, of a width x height picture drawn to cover the destination:
// a relatively wider picture loses equal parts left and right; a relatively taller one shows the
// band at anchorY (0 top, 1 bottom).
inline Rect CoverSource(float width, float height, const Rect& destination, float anchorY) {
    const float w = destination.Width();
    const float h = destination.Height();
    if (width / height > w / h) {
        const float band = height * w / h;
        const float left = (width - band) * 0.5f;
        return {left, 0, left + band, height};
    }
    const float band = width * h / w;
    const float top = (height - band) * std::clamp(anchorY, 0.0f, 1.0f);
    return {0, top, width, top + band};
}

}  // namespace vk
