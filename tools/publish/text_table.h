#pragma once
// Columns for the terminal: each as wide as its widest cell, two blanks apart, figures aligned on
// the right so that they can be compared down the column.
#include <string>
#include <vector>

namespace vk::publish {

class TextTable {
public:
    struct Column {
        std::string title;
        bool alignRight = false;
    };

    explicit TextTable(std::vector<Column> columns);

    // One cell per column.
    void AddRow(std::vector<std::string> cells);

    // The title line and every row, each ending with a line end and no trailing blanks.
    std::string Text() const;

private:
    std::vector<Column> columns_;
    std::vector<std::vector<std::string>> rows_;
};

}  // namespace vk::publish
