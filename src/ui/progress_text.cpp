#include "ui/progress_text.h"

#include <algorithm>
#include <cwchar>

#include "infra/byte_size_portable.h"
#include "infra/language_portable.h"
#include "infra/text.h"

namespace vk {

namespace {

constexpr double kMiB = 1048576.0;

std::wstring Printf(const wchar_t* format, double value) {
    wchar_t buffer[64];
    std::swprintf(buffer, 64, format, value);
    return buffer;
}

}  // namespace

std::wstring FormatSize(std::uint64_t bytes) { return Utf8ToWide(FormatByteSize(bytes, kPlayerUnits)); }

std::wstring PhaseLabel(UpdatePhase phase) {
    switch (phase) {
        case UpdatePhase::Verifying: return Localized(L"Verifying files", L"正在校验文件");
        case UpdatePhase::Installing: return Localized(L"Installing", L"正在安装");
        default: return Localized(L"Downloading", L"正在下载");
    }
}

float ProgressFraction(const ProgressNumbers& progress) {
    const std::uint64_t total = progress.bytesTotal;
    if (total == 0) return 0.0f;
    return static_cast<float>(static_cast<double>(progress.bytesDone) / static_cast<double>(total));
}

void SpeedEstimator::Reset() {
    samples_.clear();
    bytesPerSecond_ = 0;
}

void SpeedEstimator::Sample(const ProgressNumbers& progress, std::uint64_t now) {
    if (progress.phase != UpdatePhase::Downloading) {
        Reset();
        return;
    }
    const std::uint64_t done = progress.bytesDone;
    samples_.emplace_back(now, done);
    while (samples_.size() > 2 && now - samples_.front().first > 5000) samples_.pop_front();
    const double elapsed = static_cast<double>(now - samples_.front().first) / 1000.0;
    // A window under half a second, or a counter that went back, keeps the last estimate.
    if (elapsed > 0.5 && done >= samples_.front().second) {
        bytesPerSecond_ = static_cast<double>(done - samples_.front().second) / elapsed;
    }
}

std::wstring ProgressDetail(const ProgressNumbers& progress, double bytesPerSecond) {
    const UpdatePhase phase = progress.phase;
    if (phase == UpdatePhase::Verifying || phase == UpdatePhase::Installing) {
        return std::to_wstring(progress.filesDone) + L" / " + std::to_wstring(progress.filesTotal) +
               Localized(L" files", L" 个文件");
    }
    if (phase != UpdatePhase::Downloading) return {};
    const std::uint64_t done = progress.bytesDone;
    const std::uint64_t total = progress.bytesTotal;
    std::wstring text = FormatSize(done) + L" / " + FormatSize(total);
    if (bytesPerSecond > 1.0) {
        text += Printf(L" \u00B7 %.1f MB/s", bytesPerSecond / kMiB);
        const auto seconds =
            static_cast<unsigned long long>(static_cast<double>(total - std::min(done, total)) / bytesPerSecond);
        wchar_t buffer[96];
        const std::wstring format = Localized(L" \u00B7 %llu min %llu s left", L" \u00B7 剩余 %llu 分 %llu 秒");
        std::swprintf(buffer, 96, format.c_str(), seconds / 60, seconds % 60);
        text += buffer;
    }
    return text;
}

}  // namespace vk
