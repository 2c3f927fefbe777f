#include "commands.h"

#include <chrono>
#include <cstdio>

#include "file_io.h"
#include "gc.h"
#include "keygen.h"
#include "news.h"
#include "progress.h"
#include "refresh.h"
#include "release.h"
#include "store.h"
#include "verify.h"

namespace vk::publish {
namespace {

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
}

int Run(const KeygenOptions& options) {
    WriteNewKeyPair(options);
    Print("Wrote the signing key " + Utf8Of(options.privateKey) + " (keep it secret) and the public key " +
          Utf8Of(options.publicKey) + " (build it into the launcher).");
    return 0;
}

int Run(const ReleaseOptions& options) {
    const auto start = std::chrono::steady_clock::now();
    const ReleaseSummary summary = PublishRelease(options);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", elapsed.count());
    Print("Published build " + options.buildId + " (version " + options.version + ") on channel " + options.channel +
          ": " + std::to_string(summary.files) + " files, " + FormatBytes(summary.bytes) + ", " +
          std::to_string(summary.newBlobs) + " new blobs (" + FormatBytes(summary.newBytes) + "), " + seconds);
    return 0;
}

int Run(const RefreshOptions& options) {
    const RefreshSummary summary = RefreshChannel(options);
    Print("Signed build " + summary.buildId + " on channel " + options.channel + " again as sequence " +
          std::to_string(summary.sequence) + ", expiring " + summary.expires + ".");
    return 0;
}

int Run(const NewsOptions& options) {
    const std::size_t items = PublishNews(options);
    Print("Placed " + std::to_string(items) + " news items at " + Store::kNewsName + ".");
    return 0;
}

int Run(const VerifyOptions& options) {
    const VerifyReport report = VerifyStore(options);
    for (const std::string& problem : report.problems) std::fprintf(stderr, "%s\n", problem.c_str());
    if (!report.problems.empty()) {
        std::fprintf(stderr, "verify: %zu problems on channel %s\n", report.problems.size(), options.channel.c_str());
        return 1;
    }
    Print("Channel " + options.channel + ", build " + report.buildId + ": signature, release list and " +
          std::to_string(report.blobsChecked) + " blobs are good.");
    return 0;
}

int Run(const GcOptions& options) {
    const GcReport report = CollectGarbage(options);
    std::uint64_t bytes = 0;
    for (const BlobRef& blob : report.unreferenced) {
        Print(Store::BlobName(blob.sha256) + "  " + std::to_string(blob.size));
        bytes += blob.size;
    }
    const std::string counts = std::to_string(report.unreferenced.size()) + " unreferenced blobs (" +
                               FormatBytes(bytes) + "), " + std::to_string(report.referenced) + " referenced";
    Print(counts + (options.deleteBlobs ? "; unreferenced blobs deleted." : "; run with --delete to remove them."));
    return 0;
}

}  // namespace

int RunCommand(const Command& command) {
    return std::visit([](const auto& options) { return Run(options); }, command);
}

}  // namespace vk::publish
