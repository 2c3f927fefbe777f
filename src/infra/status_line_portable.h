#pragma once
// One line of progress on a terminal, redrawn in place: each text goes back to the start of the line
// and blanks cover what a longer earlier text left there. The tools write their progress through it.
#include <cstddef>
#include <functional>
#include <string>

namespace vk {

class StatusLine {
public:
    // write receives UTF-8 bytes for the terminal.
    explicit StatusLine(std::function<void(const std::string&)> write) : write_(std::move(write)) {}

    // Shows text (UTF-8, one line) in place of the text before it.
    void Show(const std::string& text);
    // Leaves the last text standing and ends its line; nothing when nothing was shown.
    void Keep();
    // Blanks the line and goes back to its start, for output that follows; nothing when nothing was shown.
    void Erase();

private:
    std::function<void(const std::string&)> write_;
    std::size_t width_ = 0;  // characters, the widest text shown so far
};

}  // namespace vk
