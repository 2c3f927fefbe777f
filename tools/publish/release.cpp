#include "release.h"

#include <algorithm>
#include <map>
#include <stdexcept>
#include <system_error>
#include <unordered_set>

#include "blob_intake.h"
#include "channel.h"
#include "engine/release_documents_portable.h"
#include "engine/work_order_portable.h"
#include "file_io.h"
#include "infra/json_portable.h"
#include "infra/sha256_portable.h"
#include "infra/utc_time_portable.h"
#include "parallel.h"
#include "progress.h"
#include "release_plan.h"
#include "signing.h"
#include "store.h"
#include "store_lock.h"

namespace vk::publish {
namespace {

// Game files from this size on get a chunk index, so that a launcher holding an older copy fetches
// only the chunks that changed. Below it, the index would save too little to be worth a request.
constexpr std::uint64_t kIndexedFileSize = 1 << 20;

struct Input {
    fs::path source;
    std::uint64_t size = 0;
    bool indexed = false;
};

std::vector<Input> CollectInputs(const ReleasePlan& plan, const ReleaseOptions& options) {
    std::vector<Input> inputs;
    for (const GameFile& file : plan.files) inputs.push_back({file.source, file.size, file.size >= kIndexedFileSize});
    for (const auto& extra : {options.launcherExe, options.banner}) {
        if (extra) inputs.push_back({*extra, fs::file_size(*extra), false});
    }
    return inputs;
}

// Sizes at which a file may turn out to be a blob the store or this release already has.
std::unordered_set<std::uint64_t> SizesToHashFirst(const Store& store, const std::vector<Input>& inputs) {
    std::unordered_set<std::uint64_t> sizes;
    for (const BlobRef& blob : store.ListBlobs()) sizes.insert(blob.size);
    std::map<std::uint64_t, int> counts;
    for (const Input& input : inputs) {
        if (++counts[input.size] == 2) sizes.insert(input.size);
    }
    return sizes;
}

std::vector<std::size_t> LargestFirst(const std::vector<Input>& inputs) {
    std::vector<std::uint64_t> sizes;
    for (const Input& input : inputs) sizes.push_back(input.size);
    return vk::LargestFirst(sizes);
}

std::vector<IntakeResult> TakeAll(const Store& store, const std::vector<Input>& inputs) {
    BlobIntake intake(store, SizesToHashFirst(store, inputs));
    std::vector<IntakeResult> results(inputs.size());
    Progress progress;
    progress.totalFiles = inputs.size();
    for (const Input& input : inputs) progress.totalBytes += input.size;
    ProgressLine line("Publishing");
    const auto count = [&progress](std::uint64_t bytes) { progress.bytes += bytes; };
    RunInParallel(
        LargestFirst(inputs),
        [&](std::size_t i, std::vector<char>& buffer) {
            results[i] = intake.Take(inputs[i].source, inputs[i].size, inputs[i].indexed, buffer, count);
            ++progress.files;
        },
        [&] { line.Show(progress); });
    intake.Commit();
    std::error_code ignored;
    fs::remove(store.IncomingFolder(), ignored);  // only when empty: another run may be using it
    return results;
}

ReleaseList BuildList(const ReleaseOptions& options, const ReleasePlan& plan, const std::vector<IntakeResult>& results,
                      const std::string& published) {
    ReleaseList list{options.buildId, options.version, options.launchPath, options.launchArgs, {}, published};
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        list.files.push_back(
            {plan.files[i].path, results[i].blob.size, results[i].blob.sha256, plan.groups[i], results[i].chunks});
    }
    return list;
}

ChannelManifest BuildManifest(const ReleaseOptions& options, const std::string& listBytes,
                              const std::vector<IntakeResult>& results, std::uint64_t sequence,
                              const std::string& published) {
    const std::string expires =
        options.expiresInDays ? TimeAfterDays(published, *options.expiresInDays) : std::string();
    ChannelManifest manifest{options.channel,
                             options.releasePath,
                             {Sha256Hex(listBytes), listBytes.size()},
                             options.buildId,
                             options.minLauncher,
                             std::nullopt,
                             std::nullopt,
                             sequence,
                             published,
                             expires};
    // The launcher executable and the banner follow the game files in the intake order.
    std::size_t next = results.size() - (options.launcherExe ? 1 : 0) - (options.banner ? 1 : 0);
    if (options.launcherExe) manifest.launcher = LauncherOffer{options.launcherVersion, results[next++].blob};
    if (options.banner) manifest.banner = results[next].blob;
    return manifest;
}

// The "published" member of a list in the store, as written; empty when it has none.
std::string WrittenPublicationTime(const std::string& listBytes) {
    try {
        const JsonValue root = ParseJson(listBytes);
        const JsonValue* published = FindField(root, "published");
        return published != nullptr && published->type == JsonType::String ? published->text : std::string();
    } catch (const std::runtime_error&) {
        return {};  // not JSON: it differs anyway
    }
}

// Launchers that already fetched a release list rely on it staying as it was. The same release
// published again (on another channel, or to roll a channel back) keeps its list, and with it the
// time it was first published (taken into `list`). Returns the list's bytes in the store.
std::string PlaceReleaseList(const Store& store, const std::string& name, ReleaseList& list) {
    const fs::path path = store.Resolve(name);
    if (fs::exists(path)) {
        const std::string existing = ReadRequiredFile(path);
        list.published = WrittenPublicationTime(existing);
        if (ReleaseListJson(list) == existing) return existing;
        // A list written before files had chunk indexes stays as it is: its files are fetched whole.
        ReleaseList withoutIndexes = list;
        for (ReleaseFile& file : withoutIndexes.files) file.chunks.reset();
        if (ReleaseListJson(withoutIndexes) == existing) {
            list = std::move(withoutIndexes);
            return existing;
        }
        throw std::runtime_error(name + " is already published with other content; a published release list never "
                                        "changes, so publish under a new --build-id");
    }
    const std::string bytes = ReleaseListJson(list);
    store.Place(name, bytes);
    return bytes;
}

}  // namespace

ReleaseSummary PublishRelease(const ReleaseOptions& options) {
    const SigningKey key = SigningKey::FromPem(ReadRequiredFile(options.key));
    const ReleasePlan plan = PlanRelease(options);
    const StoreWriteLock lock(options.store, options.waitSeconds);
    const Store store(options.store);
    const std::optional<ChannelManifest> previous = SignedManifest(store, options.channel, key);
    const std::uint64_t sequence = NextSequence(previous, options.channel);
    const std::vector<Input> inputs = CollectInputs(plan, options);
    const std::vector<IntakeResult> results = TakeAll(store, inputs);

    const std::string published = options.published.empty() ? UtcNow() : options.published;
    ReleaseSummary summary;
    summary.list = BuildList(options, plan, results, published);
    const std::string listBytes = PlaceReleaseList(store, options.releasePath, summary.list);
    PlaceManifest(store, BuildManifest(options, listBytes, results, sequence, published), key);

    if (previous) summary.previousRelease = previous->release;
    summary.files = plan.files.size();
    for (const GameFile& file : plan.files) summary.bytes += file.size;
    for (const IntakeResult& result : results) {
        summary.newBlobs += result.added ? 1 : 0;
        summary.newBytes += result.added ? result.blob.size : 0;
    }
    return summary;
}

}  // namespace vk::publish
