#include "infra/status_line_portable.h"

#include <algorithm>

namespace vk {

namespace {

// Characters rather than bytes: a Chinese label takes three bytes a character.
std::size_t CharacterCount(const std::string& utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

void StatusLine::Show(const std::string& text) {
    const std::size_t width = CharacterCount(text);
    std::string line(1, '\r');
    line.append(text);
    if (width_ > width) line.append(width_ - width, ' ');
    write_(line);
    width_ = std::max(width_, width);
}

void StatusLine::Keep() {
    if (width_ > 0) write_("\n");
    width_ = 0;
}

void StatusLine::Erase() {
    if (width_ > 0) {
        std::string blank(width_ + 2, ' ');
        blank.front() = '\r';
        blank.back() = '\r';
        write_(blank);
    }
    width_ = 0;
}

}  // namespace vk
