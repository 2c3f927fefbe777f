#include "progress.h"

#include <cstdio>
#include <utility>

#include "infra/byte_size_portable.h"
#include "system.h"

namespace vk::publish {

ProgressLine::ProgressLine(std::string label)
    : label_(std::move(label)), enabled_(StderrIsTerminal()), line_([](const std::string& bytes) {
          std::fputs(bytes.c_str(), stderr);
          std::fflush(stderr);
      }) {}

ProgressLine::~ProgressLine() { line_.Erase(); }

void ProgressLine::Show(const Progress& progress) {
    if (!enabled_) return;
    const std::uint64_t bytes = progress.bytes.load();
    const unsigned percent =
        progress.totalBytes == 0 ? 100u : static_cast<unsigned>(bytes * 100 / progress.totalBytes);
    const std::string line = label_ + ": " + std::to_string(progress.files.load()) + "/" +
                             std::to_string(progress.totalFiles) + " files, " + FormatBytes(bytes) + " of " +
                             FormatBytes(progress.totalBytes) + " (" + std::to_string(percent) + "%)";
    line_.Show(line);
}

std::string FormatBytes(std::uint64_t bytes) { return FormatByteSize(bytes, kPublisherUnits); }

}  // namespace vk::publish
