#pragma once
// The shared look of buttons and of the tooltip of the entry under the pointer.
#include <string>

#include "ui/button_list.h"
#include "ui/canvas.h"

namespace vk {

enum class ButtonStyle { Primary, Secondary, Ghost };

struct ButtonFace {
    std::wstring label;  // may be empty: then the glyph alone, in the label's (icon) style
    wchar_t glyph = 0;   // icon-font code unit, 0 for none
    TextStyle textStyle = TextStyle::Small;
};

// Paints the button (hover colour only when enabled and under the pointer; no pressed look) and
// registers it.
void DrawButton(Canvas& canvas, ButtonList& buttons, const Rect& rect, const ButtonFace& face, int command,
                ButtonStyle style, bool enabled, std::wstring tooltip = {});

// The full text of the hovered entry above it (below it near the top), kept inside the window.
void DrawTooltip(Canvas& canvas, const ButtonList& buttons);

// Registers a tooltip-only entry over a text cut off in its box.
void RegisterCutOffText(Canvas& canvas, ButtonList& buttons, const std::wstring& text, const Rect& box,
                        TextStyle style);

}  // namespace vk
