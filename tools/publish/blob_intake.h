#pragma once
// Takes files into the store as blobs named by their digest. A blob is assembled under a
// temporary name and renamed into blobs/ only once it is complete and on the disk (Commit), so a
// server never serves half a blob and a crash never leaves a damaged one under its digest; a blob
// already present with the right size is reused and never rewritten.
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/chunk_index_portable.h"
#include "engine/release_documents_portable.h"
#include "store.h"

namespace vk::publish {

struct IntakeResult {
    BlobRef blob;
    bool added = false;             // false when the store already had it
    std::optional<BlobRef> chunks;  // the blob of the file's chunk index, when one was asked for
};

// Called with the number of bytes just read from a source file.
using ReadCounter = std::function<void(std::uint64_t)>;

class BlobIntake {
public:
    // sizesToHashFirst: file sizes for which the blob may already be in the store. Such files are
    // hashed first and copied only when missing; every other file is copied and hashed in one
    // pass, because its blob cannot be present yet.
    BlobIntake(const Store& store, std::unordered_set<std::uint64_t> sizesToHashFirst);
    // Removes the blobs taken and not committed.
    ~BlobIntake();
    BlobIntake(const BlobIntake&) = delete;
    BlobIntake& operator=(const BlobIntake&) = delete;

    // Safe to call from several threads at once, each with its own buffer. A new blob (added) is
    // in the store once Commit has returned. `indexed`: the file's chunk index is taken too, made in
    // the same pass that hashes the file.
    IntakeResult Take(const std::filesystem::path& source, std::uint64_t size, bool indexed, std::vector<char>& buffer,
                      const ReadCounter& onRead);

    // Waits until the new blobs are on the disk, all at once, then moves them into blobs/.
    void Commit();

private:
    struct Pending {
        std::filesystem::path temporary;
        std::string sha256;
    };

    IntakeResult Copy(const std::filesystem::path& source, std::uint64_t size, const std::string& expectedSha256,
                      std::optional<ChunkIndex>* index, std::vector<char>& buffer, const ReadCounter& onRead);
    BlobRef TakeBytes(const std::string& bytes);
    bool Claim(const std::filesystem::path& temporary, const BlobRef& blob);
    std::filesystem::path NewTemporaryPath();

    const Store& store_;
    std::unordered_set<std::uint64_t> sizesToHashFirst_;
    std::mutex commitMutex_;  // guards claimed_ and pending_
    std::unordered_set<std::string> claimed_;
    std::vector<Pending> pending_;
    std::atomic<std::uint64_t> temporaryCount_{0};
    std::uint64_t runId_;
};

// The digest of a file, read in blocks through the buffer; fails when the file does not have
// the expected size.
std::string HashFile(const std::filesystem::path& source, std::uint64_t size, std::vector<char>& buffer,
                     const ReadCounter& onRead);

// The chunk index of a file, which holds its digest too, read as HashFile reads it.
ChunkIndex IndexFile(const std::filesystem::path& source, std::uint64_t size, std::vector<char>& buffer,
                     const ReadCounter& onRead);

}  // namespace vk::publish
