#pragma once
// The download stage of an update: needed blobs fetched into the install's download store in
// 8 MiB segments by parallel workers, resumable across runs through ".part" and ".seg" files.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/connection_watch.h"
#include "engine/download_budget.h"
#include "engine/progress.h"

namespace vk {

class HttpSession;
class TransferBuffer;

constexpr std::uint64_t kSegmentSize = 8 * 1024 * 1024;
constexpr unsigned kMaxDownloadWorkers = 24;
constexpr unsigned kSegmentAttempts = 5;
constexpr unsigned kWorkersPerProcessor = 4;

// Workers for `tasks` pieces of work: one each, at most 24, and at most four per processor. Every
// connection's TLS and every blob's hash take processor time, so past a few connections per processor
// more of them compete for the processors instead of hiding the network's latency, and each one
// holds its buffers and its TLS state.
unsigned DownloadWorkerCount(std::size_t tasks, unsigned processors);

// Waits before attempt `attempt + 1` of a segment: 2^attempt seconds, cut short by the stop flag.
// Tests replace it to keep their retries fast.
using RetryWait = void (*)(unsigned attempt, const std::atomic<bool>& stop);
extern RetryWait waitBeforeRetry;
void WaitSecondsOrStop(unsigned attempt, const std::atomic<bool>& stop);

// One blob that is not complete in the store.
struct DownloadJob {
    std::string sha256;
    std::uint64_t size = 0;
    std::wstring partPath;
    std::wstring segPath;
    std::uint32_t segmentCount = 0;
    std::vector<bool> segmentDone;  // finished before this run started
    bool mayHaveSegList = false;    // a ".seg" was on disk at the start, or this run may write one
    std::atomic<std::int32_t> pending{0};
    std::mutex lock;                // serialises additions to the ".seg" file
};

// The download store's files as one listing shows them: name -> size.
using StoredFiles = std::unordered_map<std::wstring, std::uint64_t>;

// The names the store itself makes: a digest (64 lower-case hexadecimal digits) alone or followed by
// ".part", ".seg", ".tmp" or ".seg.tmp".
bool IsStoreFileName(const std::wstring& name);

// The store's own files directly in the folder: never a folder, a link or a file of another name.
StoredFiles ListStore(const std::wstring& downloadsDir);

// Deletes the files ListStore shows, and nothing else: whatever else the folder holds is not the
// store's to delete.
void EmptyDownloadStore(const std::wstring& downloadsDir);

// A segment, or the rest of one whose connection stalled.
struct SegmentTask {
    DownloadJob* job = nullptr;
    std::uint32_t index = 0;
    std::uint64_t received = 0;  // bytes of the segment already in the ".part"
    unsigned attempts = 0;       // attempts that brought nothing, before this one
};

class DownloadStage {
public:
    // limitBytesPerSecond 0: no speed limit.
    DownloadStage(std::string baseUrl, std::wstring downloadsDir, UpdateProgress& progress,
                  const std::atomic<bool>& stop, std::uint64_t limitBytesPerSecond = 0);

    // Makes jobs for the blobs (digest -> size) that are not complete, resuming from what is on disk.
    // A complete blob found in the store was not checked by this run (it may be torn by a power cut, or
    // planted): it is hashed first, and one that does not match is deleted and fetched again.
    void Prepare(const std::map<std::string, std::uint64_t>& blobs);

    std::uint64_t bytesAlreadyDone() const { return bytesAlreadyDone_; }
    std::uint64_t bytesToFetch() const { return bytesToFetch_; }
    std::uint32_t blobsComplete() const { return blobsComplete_; }

    // Fetches and finalises every job with up to 24 workers; throws the first error, or Cancelled.
    void Run();

private:
    void PrepareJob(const std::string& sha256, std::uint64_t size, const StoredFiles& stored, bool intact);
    std::vector<bool> CheckStoredBlobs(const std::vector<std::pair<std::string, std::uint64_t>>& blobs);
    void Worker();
    void FetchSegment(HttpSession& session, const TransferBuffer& buffer, const SegmentTask& task);
    // Fetches what is left of the segment, into `whole` (the open file of a one-segment blob, a HANDLE)
    // or else the ".part"; false when its connection stalled and the rest was queued again.
    bool FetchRest(HttpSession& session, const TransferBuffer& buffer, const SegmentTask& task, void* whole);
    void RecordFinishedSegment(DownloadJob& job, std::uint32_t index);
    // Keeps the blob when the digest of its ".part" as stored is its name.
    void FinalizeDownload(DownloadJob& job, const std::string& storedDigest);
    std::string StoredDigest(const DownloadJob& job, const TransferBuffer& buffer) const;
    void RecordFailure(const std::string& message);
    std::wstring CompletePath(const std::string& sha256) const;

    const std::string baseUrl_;
    const std::wstring downloadsDir_;
    UpdateProgress& progress_;
    const std::atomic<bool>& stop_;
    std::unique_ptr<DownloadBudget> budget_;  // none without a speed limit
    ConnectionWatch watch_{stallLimits};

    std::vector<std::unique_ptr<DownloadJob>> jobs_;
    std::uint64_t bytesAlreadyDone_ = 0;
    std::uint64_t bytesToFetch_ = 0;
    std::uint32_t blobsComplete_ = 0;

    std::mutex mutex_;  // guards everything below
    std::string firstError_;
    std::vector<DownloadJob*> finalizeList_;
    std::vector<SegmentTask> tasks_;
    size_t nextTask_ = 0;
    std::atomic<bool> failed_{false};
};

}  // namespace vk
