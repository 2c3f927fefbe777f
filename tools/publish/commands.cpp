#include "commands.h"

#include <chrono>
#include <cstdio>

#include "diff_report.h"
#include "file_io.h"
#include "gc.h"
#include "json_writer.h"
#include "keygen.h"
#include "news.h"
#include "progress.h"
#include "promote.h"
#include "refresh.h"
#include "release.h"
#include "release_diff.h"
#include "releases_report.h"
#include "rollback.h"
#include "store.h"
#include "verify.h"

namespace vk::publish {
namespace {

void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
}

// Text that ends with its own line end, such as a table or a JSON document.
void PrintText(const std::string& text) { std::fputs(text.c_str(), stdout); }

std::string Expiry(const ChannelManifest& manifest) {
    return manifest.expires.empty() ? "" : ", expiring " + manifest.expires;
}

std::string BuildName(const ReleaseList& list) {
    return "build " + list.buildId + " (version " + list.projectVersion + ")";
}

// The end of promote and rollback: what the channel names now, and what its players download.
int Report(const Store& store, const ChannelMove& move, const std::string& done) {
    if (move.unchanged) {
        Print("Channel " + move.manifest.channel + " already names " + BuildName(move.list) +
              " with the same offers; nothing was signed (refresh signs it again).");
        return 0;
    }
    Print(done + " as sequence " + std::to_string(*move.manifest.sequence) + Expiry(move.manifest) + ".");
    PrintText(ChannelChangeText(store, move.manifest.channel, move.previousRelease, move.list));
    return 0;
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
    PrintText(ChannelChangeText(Store(options.store), options.channel, summary.previousRelease, summary.list));
    return 0;
}

int Run(const RefreshOptions& options) {
    const RefreshSummary summary = RefreshChannel(options);
    Print("Signed build " + summary.buildId + " on channel " + options.channel + " again as sequence " +
          std::to_string(summary.sequence) + ", expiring " + summary.expires + ".");
    return 0;
}

int Run(const PromoteOptions& options) {
    const ChannelMove move = PromoteRelease(options);
    return Report(Store(options.store), move,
                  "Promoted " + BuildName(move.list) + " from channel " + options.from + " to channel " + options.to);
}

int Run(const RollbackOptions& options) {
    const ChannelMove move = RollBackChannel(options);
    return Report(Store(options.store), move, "Rolled channel " + options.channel + " back to " + BuildName(move.list));
}

int Run(const ReleasesOptions& options) {
    const ReleasesReport report = ListReleases(options);
    PrintText(options.json ? ReleasesJson(report) : ReleasesText(report));
    if (!options.json) {
        for (const std::string& problem : report.problems) std::fprintf(stderr, "%s\n", problem.c_str());
    }
    return report.problems.empty() ? 0 : 1;
}

int Run(const DiffOptions& options) {
    const Store store = Store::Existing(options.store);
    const StoredRelease from = FindRelease(store, options.from);
    const StoredRelease to = FindRelease(store, options.to);
    const ReleaseDiff diff = DiffReleases(from.list, to.list);
    PrintText(options.json ? DiffJson(from, to, diff) : DiffText(from, to, diff));
    return 0;
}

int Run(const NewsOptions& options) {
    const std::size_t items = PublishNews(options);
    Print("Placed " + std::to_string(items) + " news items at " + kNewsAddress + ".");
    return 0;
}

int Run(const VerifyOptions& options) {
    const VerifyReport report = VerifyStore(options);
    if (options.json) {
        JsonWriter json;
        json.BeginObject();
        json.Key("channel").String(options.channel);
        json.Key("build_id").StringOrNull(report.buildId);
        json.Key("blobs_checked").Number(report.blobsChecked);
        json.Key("good").Bool(report.problems.empty());
        json.Key("problems").Strings(report.problems);
        json.EndObject();
        PrintText(json.Text());
        return report.problems.empty() ? 0 : 1;
    }
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
        Print(BlobAddress(blob.sha256) + "  " + std::to_string(blob.size));
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
