#include "progress.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "system.h"

namespace vk::publish {

ProgressLine::ProgressLine(std::string label) : label_(std::move(label)), enabled_(StderrIsTerminal()) {}

ProgressLine::~ProgressLine() {
    if (enabled_ && width_ > 0) std::fprintf(stderr, "\r%*s\r", static_cast<int>(width_), "");
}

void ProgressLine::Show(const Progress& progress) {
    if (!enabled_) return;
    const std::uint64_t bytes = progress.bytes.load();
    const unsigned percent =
        progress.totalBytes == 0 ? 100u : static_cast<unsigned>(bytes * 100 / progress.totalBytes);
    const std::string line = label_ + ": " + std::to_string(progress.files.load()) + "/" +
                             std::to_string(progress.totalFiles) + " files, " + FormatBytes(bytes) + " of " +
                             FormatBytes(progress.totalBytes) + " (" + std::to_string(percent) + "%)";
    // Pad over the rest of a longer previous line.
    std::fprintf(stderr, "\r%-*s", static_cast<int>(width_), line.c_str());
    std::fflush(stderr);
    width_ = std::max(width_, line.size());
}

std::string FormatBytes(std::uint64_t bytes) {
    static constexpr const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024) return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes);
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < std::size(kUnits)) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %s", value, kUnits[unit]);
    return text;
}

}  // namespace vk::publish
