#pragma once
// The progress of a running update on standard error: one live line on a console, one line per
// second when standard error goes to a file or pipe.
#include <atomic>
#include <string>
#include <thread>

#include "engine/progress.h"
#include "infra/status_line_portable.h"
#include "ui/progress_text.h"

namespace vk::headless {

// "Downloading  42%  1.2 GB / 3.4 GB · 12.3 MB/s · 3 min 2 s left" and the like.
std::wstring ProgressLine(const UpdateProgress& progress, double bytesPerSecond);

class ProgressPrinter {
public:
    explicit ProgressPrinter(const UpdateProgress& progress);
    ~ProgressPrinter();  // prints the last state and ends the line
    ProgressPrinter(const ProgressPrinter&) = delete;
    ProgressPrinter& operator=(const ProgressPrinter&) = delete;

private:
    void Loop();
    void Print(bool final);

    const UpdateProgress& progress_;
    const bool live_;
    SpeedEstimator speed_;
    StatusLine line_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};

}  // namespace vk::headless
