#pragma once
// Texts of a running update: sizes, speed, time left and the per-phase detail line.
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "ui/progress_numbers.h"

namespace vk {

// "0.5 MB", "22.0 GB", "1.2 TB": the size as players see it (units of 2^20, 2^30, 2^40 bytes).
std::wstring FormatSize(std::uint64_t bytes);

// "Verifying files", "Installing" or "Downloading" in the interface language.
std::wstring PhaseLabel(UpdatePhase phase);

// bytesDone / bytesTotal, 0 when the total is 0; not clamped.
float ProgressFraction(const ProgressNumbers& progress);

// Download speed averaged over the last five seconds of samples of bytesDone.
class SpeedEstimator {
public:
    // Takes one sample; any phase but Downloading resets the estimate.
    void Sample(const ProgressNumbers& progress, std::uint64_t nowMilliseconds);
    void Reset();
    double bytesPerSecond() const { return bytesPerSecond_; }

private:
    std::deque<std::pair<std::uint64_t, std::uint64_t>> samples_;  // (tick, bytesDone), oldest first
    double bytesPerSecond_ = 0;
};

// "120 / 4512 files" while verifying or installing; "1.2 GB / 3.4 GB · 12.3 MB/s · 3 min 2 s left"
// while downloading (speed and time only once a speed is known); empty otherwise.
std::wstring ProgressDetail(const ProgressNumbers& progress, double bytesPerSecond);

}  // namespace vk
