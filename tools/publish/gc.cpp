#include "gc.h"

#include <optional>
#include <set>
#include <stdexcept>

#include "file_io.h"
#include "path_rules.h"
#include "store.h"
#include "store_lock.h"

namespace vk::publish {
namespace {

// Reads one kept document; any doubt about what it names stops the collection.
template <typename Document>
Document ReadKept(const Store& store, const std::string& name,
                  Document (*read)(const std::string&, std::vector<std::string>&)) {
    if (!ReleasePathProblem(name).empty()) throw std::runtime_error(name + " is not a store path; nothing was deleted");
    const fs::path path = store.Resolve(name);
    if (!fs::is_regular_file(path)) throw std::runtime_error(name + " is missing; nothing was deleted");
    std::vector<std::string> problems;
    try {
        Document document = read(ReadRequiredFile(path), problems);
        if (problems.empty()) return document;
    } catch (const std::runtime_error& error) {
        problems.push_back(error.what());
    }
    throw std::runtime_error(name + " cannot be read completely (" + problems.front() +
                             "); nothing was deleted. Run verify for the details.");
}

std::set<std::string> ReferencedDigests(const Store& store, const GcOptions& options) {
    std::set<std::string> digests;
    std::vector<std::string> releases = options.keepReleases;
    for (const std::string& channel : store.ListChannels()) {
        const ChannelManifest manifest = ReadKept(store, ChannelManifestAddress(channel), ReadManifest);
        releases.push_back(manifest.release);
        if (manifest.launcher) digests.insert(manifest.launcher->blob.sha256);
        if (manifest.banner) digests.insert(manifest.banner->sha256);
    }
    for (const std::string& release : releases) {
        for (const ReleaseFile& file : ReadKept(store, release, ReadReleaseList).files) {
            digests.insert(file.sha256);
            if (file.chunks) digests.insert(file.chunks->sha256);
        }
    }
    return digests;
}

}  // namespace

GcReport CollectGarbage(const GcOptions& options) {
    // Deleting reads the references under the lock too: a release published meanwhile counts.
    std::optional<StoreWriteLock> lock;
    if (options.deleteBlobs) lock.emplace(options.store, options.waitSeconds);
    const Store store(options.store);
    const std::set<std::string> referenced = ReferencedDigests(store, options);
    GcReport report;
    report.referenced = referenced.size();
    for (const BlobRef& blob : store.ListBlobs()) {
        if (!referenced.contains(blob.sha256)) report.unreferenced.push_back(blob);
    }
    if (options.deleteBlobs) {
        for (const BlobRef& blob : report.unreferenced) fs::remove(store.Resolve(BlobAddress(blob.sha256)));
    }
    return report;
}

}  // namespace vk::publish
