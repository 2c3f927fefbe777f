#pragma once
// The clickable rectangles of the last frame, in painting order, and the pointer over them. The
// panels register entries while they paint; the window procedure hit-tests pointer positions.
#include <string>
#include <vector>

#include "ui/canvas.h"

namespace vk {

struct ButtonEntry {
    Rect rect;
    int command = 0;
    bool enabled = false;
    std::wstring tooltip;
};

class ButtonList {
public:
    // Empties the list for the next frame; the hovered entry keeps its command until the pointer
    // moves again, so buttons painted before their entry exists still show the hover.
    void Clear() { entries_.clear(); }
    void RegisterButton(const Rect& rect, int command, bool enabled, std::wstring tooltip);

    // Index of the entry under the point, later entries winning where they overlap; -1 for none.
    // Disabled entries are found too.
    int HitTest(float x, float y) const;

    // Records the entry under the pointer (-1 when it left the window).
    void SetHovered(int index);
    int Hovered() const { return hovered_; }
    // The enabled entry under the pointer has this nonzero command.
    bool IsHovered(int command) const;
    // The entry under the pointer in the current list, or null.
    const ButtonEntry* HoveredEntry() const;

    const std::vector<ButtonEntry>& Entries() const { return entries_; }

private:
    std::vector<ButtonEntry> entries_;
    int hovered_ = -1;
    int hoveredCommand_ = 0;
    bool hoveredEnabled_ = false;
};

// A pointer position in device pixels as DIPs.
inline float ToDips(int pixels, unsigned dpi) { return static_cast<float>(pixels) / (static_cast<float>(dpi) / 96.0f); }

// The window drags from the empty part of the header row (HTCAPTION); buttons there stay clickable.
bool IsCaptionPoint(const ButtonList& buttons, float x, float y);

// The hand cursor over an enabled entry that does something; the arrow elsewhere.
bool WantsHandCursor(const ButtonList& buttons);

}  // namespace vk
