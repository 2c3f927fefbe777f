#pragma once
// Progress of long runs: counters the workers advance, and one line on the terminal that shows
// them. The line is left out when stderr is not a terminal, so logs stay clean.
#include <atomic>
#include <cstdint>
#include <string>

#include "infra/status_line_portable.h"

namespace vk::publish {

struct Progress {
    std::atomic<std::uint64_t> files{0};
    std::atomic<std::uint64_t> bytes{0};
    std::uint64_t totalFiles = 0;
    std::uint64_t totalBytes = 0;
};

class ProgressLine {
public:
    explicit ProgressLine(std::string label);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Show(const Progress& progress);

private:
    std::string label_;
    bool enabled_;
    StatusLine line_;
};

// "512 B", "1.50 KiB", "2.93 GiB".
std::string FormatBytes(std::uint64_t bytes);

}  // namespace vk::publish
