#include "text_table.h"

#include <algorithm>
#include <stdexcept>

namespace vk::publish {
namespace {

// Cells hold UTF-8 (file names, versions): the width is the number of characters, not bytes.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

TextTable::TextTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

void TextTable::AddRow(std::vector<std::string> cells) {
    if (cells.size() != columns_.size()) throw std::logic_error("table row of the wrong width");
    rows_.push_back(std::move(cells));
}

std::string TextTable::Text() const {
    std::vector<std::vector<std::string>> lines = {{}};
    for (const Column& column : columns_) lines.front().push_back(column.title);
    lines.insert(lines.end(), rows_.begin(), rows_.end());
    std::vector<std::size_t> widths(columns_.size(), 0);
    for (const auto& line : lines) {
        for (std::size_t i = 0; i < line.size(); ++i) widths[i] = std::max(widths[i], Width(line[i]));
    }
    std::string text;
    for (const auto& line : lines) {
        std::string row;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const std::string padding(widths[i] - Width(line[i]), ' ');
            row += (i == 0 ? "" : "  ") + (columns_[i].alignRight ? padding + line[i] : line[i] + padding);
        }
        row.erase(row.find_last_not_of(' ') + 1);
        text += row + "\n";
    }
    return text;
}

}  // namespace vk::publish
