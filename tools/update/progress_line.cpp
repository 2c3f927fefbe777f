#include "progress_line.h"

#include <windows.h>

#include <chrono>
#include <cwchar>

#include "console.h"
#include "infra/text.h"

namespace vk::headless {

std::wstring ProgressLine(const UpdateProgress& progress, double bytesPerSecond) {
    wchar_t percent[16];
    std::swprintf(percent, 16, L"%3.0f%%", static_cast<double>(ProgressFraction(progress)) * 100.0);
    std::wstring line = PhaseLabel(progress.phase.load()) + L"  " + percent + L"  ";
    if (progress.phase.load() == UpdatePhase::Downloading) return line + ProgressDetail(progress, bytesPerSecond);
    return line + FormatSize(progress.bytesDone.load()) + L" / " + FormatSize(progress.bytesTotal.load()) +
           L" \u00B7 " + ProgressDetail(progress, bytesPerSecond);
}

ProgressPrinter::ProgressPrinter(const UpdateProgress& progress)
    : progress_(progress),
      live_(ErrIsConsole()),
      line_([](const std::string& bytes) { WriteErr(bytes); }),
      thread_(&ProgressPrinter::Loop, this) {}

ProgressPrinter::~ProgressPrinter() {
    done_ = true;
    thread_.join();
    Print(true);
}

void ProgressPrinter::Loop() {
    // A console line is redrawn four times a second; a log gets one line per second.
    const auto period = std::chrono::milliseconds(live_ ? 250 : 1000);
    auto next = std::chrono::steady_clock::now();
    while (!done_.load()) {
        speed_.Sample(progress_, GetTickCount64());
        if (std::chrono::steady_clock::now() >= next) {
            Print(false);
            next += period;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
}

void ProgressPrinter::Print(bool final) {
    if (final) {
        line_.Keep();
        return;
    }
    if (progress_.phase.load() == UpdatePhase::Idle) return;
    const std::string line = WideToUtf8(ProgressLine(progress_, speed_.bytesPerSecond()));
    if (live_) {
        line_.Show(line);
    } else {
        WriteErr(line + "\n");
    }
}

}  // namespace vk::headless
