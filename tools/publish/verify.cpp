#include "verify.h"

#include <map>
#include <stdexcept>
#include <system_error>

#include "blob_intake.h"
#include "chunk_index_check.h"
#include "engine/release_documents_portable.h"
#include "engine/release_path_portable.h"
#include "file_io.h"
#include "infra/sha256_portable.h"
#include "infra/signature_portable.h"
#include "infra/utc_time_portable.h"
#include "parallel.h"
#include "progress.h"
#include "signing.h"
#include "store.h"

namespace vk::publish {
namespace {

// Reads with one of the document readers, naming the document when it is unusable as a whole.
template <typename Read>
auto ReadDocument(const std::string& name, const Read& read, const std::string& bytes,
                  std::vector<std::string>& problems) {
    try {
        return read(bytes, problems);
    } catch (const std::runtime_error& error) {
        throw std::runtime_error(name + ": " + error.what());
    }
}

// Missing files are problems to report, not failures of the check.
bool ReadStoreFile(const Store& store, const std::string& name, std::string& bytes,
                   std::vector<std::string>& problems) {
    if (!fs::is_regular_file(store.Resolve(name))) {
        problems.push_back(name + ": missing");
        return false;
    }
    bytes = ReadRequiredFile(store.Resolve(name));
    return true;
}

// The chunk index a file's entry names, checked against the file's blob.
struct IndexedBlob {
    BlobRef index;
    std::string path;  // of the first entry that names it
};

// The stored index against the one made from the blob's bytes. A missing or damaged index blob is
// reported by its own check.
std::vector<std::string> CheckIndex(const Store& store, const IndexedBlob& indexed, const ChunkIndex& made) {
    const fs::path path = store.Resolve(BlobAddress(indexed.index.sha256));
    std::error_code error;
    if (!fs::is_regular_file(path, error) || fs::file_size(path, error) != indexed.index.size) return {};
    return ChunkIndexProblems(BlobAddress(indexed.index.sha256) + " (chunk index of " + indexed.path + ")",
                              ReadRequiredFile(path), made);
}

std::vector<std::string> CheckBlob(const Store& store, const BlobRef& blob, const IndexedBlob* indexed,
                                   std::vector<char>& buffer, Progress& progress) {
    const std::string name = BlobAddress(blob.sha256);
    const fs::path path = store.Resolve(name);
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return {name + ": missing"};
    const std::uint64_t size = fs::file_size(path, error);
    if (size != blob.size)
        return {name + ": " + std::to_string(size) + " bytes, expected " + std::to_string(blob.size)};
    const auto count = [&progress](std::uint64_t bytes) { progress.bytes += bytes; };
    if (indexed == nullptr) {
        if (HashFile(path, size, buffer, count) != blob.sha256) return {name + ": content does not match its digest"};
        return {};
    }
    const ChunkIndex made = IndexFile(path, size, buffer, count);
    if (made.fileSha256 != blob.sha256) return {name + ": content does not match its digest"};
    return CheckIndex(store, *indexed, made);
}

// The chunk indexes to check, by the digest of the file each describes.
std::map<std::string, IndexedBlob> IndexedBlobs(const ReleaseList& list) {
    std::map<std::string, IndexedBlob> indexes;
    for (const ReleaseFile& file : list.files) {
        if (file.chunks) indexes.emplace(file.sha256, IndexedBlob{*file.chunks, file.path});
    }
    return indexes;
}

// Every blob the release needs, once each; one digest listed with two sizes is a problem.
std::map<std::string, std::uint64_t> NeededBlobs(const ChannelManifest& manifest, const ReleaseList& list,
                                                 std::vector<std::string>& problems) {
    std::vector<BlobRef> needed;
    for (const ReleaseFile& file : list.files) {
        needed.push_back({file.sha256, file.size});
        if (file.chunks) needed.push_back(*file.chunks);
    }
    if (manifest.launcher) needed.push_back(manifest.launcher->blob);
    if (manifest.banner) needed.push_back(*manifest.banner);
    std::map<std::string, std::uint64_t> blobs;
    for (const BlobRef& blob : needed) {
        if (!IsSha256Hex(blob.sha256)) continue;  // already reported by the reader
        const auto [existing, added] = blobs.emplace(blob.sha256, blob.size);
        if (!added && existing->second != blob.size) {
            problems.push_back(BlobAddress(blob.sha256) + ": listed with two different sizes");
        }
    }
    return blobs;
}

void CheckBlobs(const Store& store, const std::map<std::string, std::uint64_t>& blobs,
                const std::map<std::string, IndexedBlob>& indexes, VerifyReport& report) {
    std::vector<BlobRef> list;
    Progress progress;
    for (const auto& [sha256, size] : blobs) {
        list.push_back({sha256, size});
        progress.totalBytes += size;
    }
    progress.totalFiles = list.size();
    std::vector<std::vector<std::string>> results(list.size());
    std::vector<std::size_t> order(list.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    ProgressLine line("Verifying");
    RunInParallel(
        order,
        [&](std::size_t i, std::vector<char>& buffer) {
            const auto indexed = indexes.find(list[i].sha256);
            results[i] =
                CheckBlob(store, list[i], indexed == indexes.end() ? nullptr : &indexed->second, buffer, progress);
            ++progress.files;
        },
        [&] { line.Show(progress); });
    for (const std::vector<std::string>& result : results) {
        report.problems.insert(report.problems.end(), result.begin(), result.end());
    }
    report.blobsChecked = list.size();
}

void CheckRelease(const Store& store, const ChannelManifest& manifest, VerifyReport& report) {
    std::string listBytes;
    if (!ReadStoreFile(store, manifest.release, listBytes, report.problems)) return;
    if (!ListMatchesManifest(manifest, listBytes)) {
        report.problems.push_back(manifest.release + ": size or SHA-256 differs from the manifest");
    }
    const auto readList = [](const std::string& bytes, std::vector<std::string>& problems) {
        return ReadReleaseList(bytes, problems);
    };
    const ReleaseList list = ReadDocument(manifest.release, readList, listBytes, report.problems);
    if (list.buildId != manifest.buildId) {
        report.problems.push_back(manifest.release + ": build id differs from the manifest");
    }
    bool launchListed = false;
    for (const ReleaseFile& file : list.files) launchListed = launchListed || file.path == list.launchPath;
    if (!launchListed) report.problems.push_back(manifest.release + ": the launch path is not one of the files");
    CheckBlobs(store, NeededBlobs(manifest, list, report.problems), IndexedBlobs(list), report);
}

void CheckChannel(const Store& store, const VerifyOptions& options, const std::string& publicKey,
                  VerifyReport& report) {
    std::string manifestBytes;
    std::string signature;
    const bool haveManifest =
        ReadStoreFile(store, ChannelManifestAddress(options.channel), manifestBytes, report.problems);
    const bool haveSignature =
        ReadStoreFile(store, ChannelSignatureAddress(options.channel), signature, report.problems);
    if (!haveManifest) return;
    if (haveSignature && !VerifySignature(manifestBytes, signature, publicKey)) {
        report.problems.push_back(ChannelSignatureAddress(options.channel) + ": not a valid signature of the manifest");
    }
    const auto readManifest = [&options](const std::string& bytes, std::vector<std::string>& problems) {
        return ReadManifest(ParseJson(bytes), options.channel, &problems);
    };
    const ChannelManifest manifest = ReadDocument("manifest", readManifest, manifestBytes, report.problems);
    report.buildId = manifest.buildId;
    const std::optional<std::int64_t> expires = ParseUtcTime(manifest.expires);
    if (expires && *expires <= *ParseUtcTime(UtcNow())) {
        report.problems.push_back(ChannelManifestAddress(options.channel) + ": expired at " + manifest.expires +
                                  "; launchers refuse it until velkar-publish refresh signs it again");
    }
    CheckRelease(store, manifest, report);
}

}  // namespace

VerifyReport VerifyStore(const VerifyOptions& options) {
    const std::string publicKey = ReadRequiredFile(options.publicKey);
    CheckPublicKey(publicKey);
    VerifyReport report;
    try {
        CheckChannel(Store(options.store), options, publicKey, report);
    } catch (const std::runtime_error& error) {
        report.problems.push_back(error.what());
    }
    return report;
}

}  // namespace vk::publish
