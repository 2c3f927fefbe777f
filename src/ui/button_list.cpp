#include "ui/button_list.h"

#include <utility>

#include "ui/commands.h"
#include "ui/window_frame.h"

namespace vk {

void ButtonList::RegisterButton(const Rect& rect, int command, bool enabled, std::wstring tooltip) {
    entries_.push_back({rect, command, enabled, std::move(tooltip)});
}

int ButtonList::HitTest(float x, float y) const {
    for (int i = static_cast<int>(entries_.size()) - 1; i >= 0; --i) {
        if (entries_[static_cast<std::size_t>(i)].rect.Contains(x, y)) return i;
    }
    return -1;
}

void ButtonList::SetHovered(int index) {
    const bool valid = index >= 0 && index < static_cast<int>(entries_.size());
    hovered_ = valid ? index : -1;
    hoveredCommand_ = valid ? entries_[static_cast<std::size_t>(index)].command : 0;
    hoveredEnabled_ = valid && entries_[static_cast<std::size_t>(index)].enabled;
}

bool ButtonList::IsHovered(int command) const {
    return hovered_ >= 0 && command != 0 && hoveredCommand_ == command && hoveredEnabled_;
}

const ButtonEntry* ButtonList::HoveredEntry() const {
    if (hovered_ < 0 || hovered_ >= static_cast<int>(entries_.size())) return nullptr;
    return &entries_[static_cast<std::size_t>(hovered_)];
}

bool IsCaptionPoint(const ButtonList& buttons, float x, float y) {
    return y < kHeaderHeight && buttons.HitTest(x, y) < 0;
}

bool WantsHandCursor(const ButtonList& buttons) {
    const ButtonEntry* entry = buttons.HoveredEntry();
    return entry != nullptr && entry->enabled && entry->command != CmdInfo;
}

}  // namespace vk
