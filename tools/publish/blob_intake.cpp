#include "blob_intake.h"

#include <cerrno>
#include <optional>
#include <random>
#include <stdexcept>
#include <system_error>

#include "engine/chunk_indexer_portable.h"
#include "file_io.h"
#include "infra/sha256_portable.h"
#include "system.h"

namespace vk::publish {
namespace {

using Sink = std::function<void(const char*, std::size_t)>;

// Streams the file through sink block by block. The size was taken when the folder was read;
// a different byte count means the file changed under the publisher's feet.
void StreamFile(const fs::path& source, std::uint64_t size, std::vector<char>& buffer, const Sink& sink) {
    File file = File::OpenRead(source);
    std::uint64_t total = 0;
    for (std::size_t count; (count = file.Read(buffer.data(), buffer.size())) > 0;) {
        sink(buffer.data(), count);
        total += count;
    }
    if (total != size) throw std::runtime_error(Utf8Of(source) + " changed while it was being published");
}

// A blob being assembled; removed again unless it is kept for the store.
class TemporaryBlob {
public:
    explicit TemporaryBlob(fs::path path) : path_(std::move(path)), file_(File::CreateNew(path_)) {}
    ~TemporaryBlob() {
        file_.reset();  // Windows cannot remove a file that is still open
        std::error_code ignored;
        if (!path_.empty()) fs::remove(path_, ignored);
    }
    TemporaryBlob(const TemporaryBlob&) = delete;
    TemporaryBlob& operator=(const TemporaryBlob&) = delete;

    File& Output() { return *file_; }
    const fs::path& Path() const { return path_; }
    // Someone else removes the file from now on.
    void Keep() { path_.clear(); }

private:
    fs::path path_;
    std::optional<File> file_;
};

// The digest of bytes streamed past, and their chunk index when one is asked for (the indexer hashes
// the whole file too, so the bytes are hashed as a whole only once).
class ContentDigest {
public:
    explicit ContentDigest(std::optional<ChunkIndex>* index) : index_(index) {
        if (index_ != nullptr) indexer_.emplace();
    }

    void Add(const char* data, std::size_t count) {
        if (indexer_) {
            indexer_->Add(data, count);
        } else {
            hasher_.Add(data, count);
        }
    }

    std::string Finish() {
        if (!indexer_) return hasher_.Finish();
        *index_ = indexer_->Finish();
        return (*index_)->fileSha256;
    }

private:
    std::optional<ChunkIndex>* index_;
    std::optional<ChunkIndexer> indexer_;
    Sha256Hasher hasher_;
};

// Reads the file once for its digest, and its chunk index into *index when index is given.
std::string DigestFile(const fs::path& source, std::uint64_t size, std::optional<ChunkIndex>* index,
                       std::vector<char>& buffer, const ReadCounter& onRead) {
    ContentDigest digest(index);
    StreamFile(source, size, buffer, [&](const char* data, std::size_t count) {
        digest.Add(data, count);
        onRead(count);
    });
    return digest.Finish();
}

}  // namespace

std::string HashFile(const fs::path& source, std::uint64_t size, std::vector<char>& buffer, const ReadCounter& onRead) {
    return DigestFile(source, size, nullptr, buffer, onRead);
}

ChunkIndex IndexFile(const fs::path& source, std::uint64_t size, std::vector<char>& buffer, const ReadCounter& onRead) {
    std::optional<ChunkIndex> index;
    DigestFile(source, size, &index, buffer, onRead);
    return std::move(*index);
}

BlobIntake::BlobIntake(const Store& store, std::unordered_set<std::uint64_t> sizesToHashFirst)
    : store_(store), sizesToHashFirst_(std::move(sizesToHashFirst)), runId_(std::random_device{}()) {
    fs::create_directories(store_.Resolve(kBlobsFolder));
    fs::create_directories(store_.IncomingFolder());
}

IntakeResult BlobIntake::Take(const fs::path& source, std::uint64_t size, bool indexed, std::vector<char>& buffer,
                              const ReadCounter& onRead) {
    std::optional<ChunkIndex> index;
    std::optional<ChunkIndex>* const wanted = indexed ? &index : nullptr;
    IntakeResult result;
    if (!sizesToHashFirst_.contains(size)) {
        result = Copy(source, size, {}, wanted, buffer, onRead);
    } else {
        const BlobRef blob{DigestFile(source, size, wanted, buffer, onRead), size};
        result = store_.HasBlob(blob) ? IntakeResult{blob, false, std::nullopt}
                                      : Copy(source, size, blob.sha256, nullptr, buffer, [](std::uint64_t) {});
    }
    if (index) result.chunks = TakeBytes(ChunkIndexBytes(*index));
    return result;
}

// Copies and hashes in one pass. When the digest is known from an earlier pass, the copy must
// have it too, or the file changed in between.
IntakeResult BlobIntake::Copy(const fs::path& source, std::uint64_t size, const std::string& expectedSha256,
                              std::optional<ChunkIndex>* index, std::vector<char>& buffer, const ReadCounter& onRead) {
    TemporaryBlob temporary(NewTemporaryPath());
    ContentDigest digest(index);
    StreamFile(source, size, buffer, [&](const char* data, std::size_t count) {
        digest.Add(data, count);
        temporary.Output().Write(data, count);
        onRead(count);
    });
    temporary.Output().CloseWritten();
    const BlobRef blob{digest.Finish(), size};
    if (!expectedSha256.empty() && blob.sha256 != expectedSha256) {
        throw std::runtime_error(Utf8Of(source) + " changed while it was being published");
    }
    if (!Claim(temporary.Path(), blob)) return {blob, false, std::nullopt};
    temporary.Keep();
    return {blob, true, std::nullopt};
}

// A blob made in memory, such as a chunk index.
BlobRef BlobIntake::TakeBytes(const std::string& bytes) {
    const BlobRef blob{Sha256Hex(bytes), bytes.size()};
    if (store_.HasBlob(blob)) return blob;
    TemporaryBlob temporary(NewTemporaryPath());
    temporary.Output().Write(bytes.data(), bytes.size());
    temporary.Output().CloseWritten();
    if (Claim(temporary.Path(), blob)) temporary.Keep();
    return blob;
}

// Two files of one release may have the same content; the first to finish provides the blob.
bool BlobIntake::Claim(const fs::path& temporary, const BlobRef& blob) {
    std::lock_guard lock(commitMutex_);
    if (store_.HasBlob(blob) || !claimed_.insert(blob.sha256).second) return false;
    pending_.push_back({temporary, blob.sha256});
    return true;
}

void BlobIntake::Commit() {
    std::lock_guard lock(commitMutex_);
    std::vector<fs::path> temporaries;
    for (const Pending& blob : pending_) temporaries.push_back(blob.temporary);
    if (!FlushFilesToDisk(temporaries)) {
        throw std::runtime_error("cannot write the new blobs to the disk: " + std::generic_category().message(errno));
    }
    for (const Pending& blob : pending_) {
        fs::rename(blob.temporary, store_.Resolve(BlobAddress(blob.sha256)));
    }
    pending_.clear();
}

BlobIntake::~BlobIntake() {
    std::error_code ignored;
    for (const Pending& blob : pending_) fs::remove(blob.temporary, ignored);
}

fs::path BlobIntake::NewTemporaryPath() {
    return store_.IncomingFolder() /
           (std::to_string(runId_) + "-" + std::to_string(temporaryCount_++) + ".part");
}

}  // namespace vk::publish
