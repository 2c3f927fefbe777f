#include "releases.h"

#include <algorithm>
#include <stdexcept>

#include "file_io.h"
#include "infra/utc_time_portable.h"

namespace vk::publish {
namespace {

bool NewerFirst(const ReleaseEntry& a, const ReleaseEntry& b) {
    const auto time = [](const ReleaseEntry& entry) { return ParseUtcTime(entry.release.list.published); };
    const std::optional<std::int64_t> ta = time(a);
    const std::optional<std::int64_t> tb = time(b);
    if (ta.has_value() != tb.has_value()) return ta.has_value();
    if (ta != tb) return *ta > *tb;
    return a.release.path < b.release.path;
}

}  // namespace

ReleasesReport ListReleases(const ReleasesOptions& options) {
    const Store store = Store::Existing(options.store);
    if (!options.channel.empty()) ReadChannelManifest(store, options.channel);  // throws when it names nothing
    ReleasesReport report;
    const BlobSizes present = PresentBlobs(store);
    const auto has = [&present](const BlobRef& blob) {
        const auto found = present.find(blob.sha256);
        return found != present.end() && found->second == blob.size;
    };
    for (const auto& [path, channels] : ReleaseListsWithChannels(store, report.problems)) {
        if (!options.channel.empty() &&
            std::find(channels.begin(), channels.end(), options.channel) == channels.end()) {
            continue;
        }
        ReleaseEntry entry;
        try {
            entry.release = ReadStoredRelease(store, path);
        } catch (const std::runtime_error& error) {
            report.problems.push_back(error.what());
            continue;
        }
        for (const ReleaseFile& file : entry.release.list.files) entry.bytes += file.size;
        entry.channels = channels;
        entry.missingBlobs = MissingBlobs(has, entry.release.list).size();
        report.releases.push_back(std::move(entry));
    }
    std::sort(report.releases.begin(), report.releases.end(), NewerFirst);
    return report;
}

}  // namespace vk::publish
