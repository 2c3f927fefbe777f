#include "engine/download_store.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <set>
#include <span>
#include <thread>

#include "engine/links.h"
#include "engine/parallel_check.h"
#include "engine/store_layout_portable.h"
#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/http.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/sha256.h"
#include "infra/text.h"

namespace vk {

void WaitSecondsOrStop(unsigned attempt, const std::atomic<bool>& stop) {
    // Waiting in short slices lets a pause take effect without sitting out the whole back-off.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1u << attempt);
    while (!stop.load() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

RetryWait waitBeforeRetry = WaitSecondsOrStop;

unsigned DownloadWorkerCount(std::size_t tasks, unsigned processors) {
    const std::size_t byProcessors = std::size_t{kWorkersPerProcessor} * std::max(1u, processors);
    return static_cast<unsigned>(std::min({tasks, std::size_t{kMaxDownloadWorkers}, byProcessors}));
}

namespace {

std::string ShortDigest(const std::string& sha256) { return sha256.substr(0, 12); }

// Indexes of finished segments, one decimal number per line; anything else is ignored.
void MarkFinishedSegments(const std::string& segText, DownloadJob& job) {
    size_t position = 0;
    while (position < segText.size()) {
        size_t end = segText.find('\n', position);
        if (end == std::string::npos) end = segText.size();
        const std::string line = segText.substr(position, end - position);
        char* parsedEnd = nullptr;
        const unsigned long index = std::strtoul(line.c_str(), &parsedEnd, 10);
        if (parsedEnd != line.c_str() && index < job.segmentCount) job.segmentDone[index] = true;
        position = end + 1;
    }
}

bool CreatePreallocated(const std::wstring& path, std::uint64_t size) {
    UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

std::uint64_t SegmentLength(const DownloadJob& job, std::uint32_t index) {
    const std::uint64_t offset = index * kSegmentSize;
    return std::min(job.size, offset + kSegmentSize) - offset;
}

bool IsLowerHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

}  // namespace

bool IsStoreFileName(const std::wstring& name) {
    constexpr std::size_t kDigestLength = 64;
    if (name.size() < kDigestLength || !std::all_of(name.begin(), name.begin() + kDigestLength, IsLowerHexDigit)) {
        return false;
    }
    const std::wstring suffix = name.substr(kDigestLength);
    return suffix.empty() || suffix == L".part" || suffix == L".seg" || suffix == L".tmp" || suffix == L".seg.tmp";
}

StoredFiles ListStore(const std::wstring& downloadsDir) {
    StoredFiles stored;
    WIN32_FIND_DATAW entry;
    const UniqueFind find(FindFirstFileExW(JoinPath(downloadsDir, L"*").c_str(), FindExInfoBasic, &entry,
                                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return stored;
    do {
        const std::wstring name = entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsStoreFileName(name) ||
            IsLink(JoinPath(downloadsDir, name), entry.dwFileAttributes)) {
            continue;
        }
        stored.emplace(name, (static_cast<std::uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow);
    } while (FindNextFileW(find.get(), &entry));
    return stored;
}

void EmptyDownloadStore(const std::wstring& downloadsDir) {
    for (const auto& [name, size] : ListStore(downloadsDir)) DeleteFileW(JoinPath(downloadsDir, name).c_str());
}

DownloadStage::DownloadStage(std::string baseUrl, std::wstring downloadsDir, UpdateProgress& progress,
                             const std::atomic<bool>& stop, std::uint64_t limitBytesPerSecond)
    : baseUrl_(std::move(baseUrl)), downloadsDir_(std::move(downloadsDir)), progress_(progress), stop_(stop) {
    if (limitBytesPerSecond != 0) budget_ = std::make_unique<DownloadBudget>(limitBytesPerSecond);
}

std::wstring DownloadStage::CompletePath(const std::string& sha256) const {
    return JoinPath(downloadsDir_, Utf8ToWide(sha256));
}

// The store is listed once: under Wine every look-up of a name that is not there reads the whole
// folder (to match names ignoring case), and a store that fills with thousands of ".part" files made
// those look-ups cost more than the transfer.
void DownloadStage::Prepare(const std::map<std::string, std::uint64_t>& blobs) {
    const StoredFiles stored = ListStore(downloadsDir_);
    std::vector<std::pair<std::string, std::uint64_t>> complete;
    for (const auto& [sha256, size] : blobs) {
        const auto found = stored.find(Utf8ToWide(sha256));
        if (size > 0 && found != stored.end() && found->second == size) complete.emplace_back(sha256, size);
    }
    const std::vector<bool> intact = CheckStoredBlobs(complete);
    std::set<std::string> good;
    for (std::size_t i = 0; i < complete.size(); ++i) {
        if (intact[i]) good.insert(complete[i].first);
    }
    for (const auto& [sha256, size] : blobs) PrepareJob(sha256, size, stored, good.contains(sha256));
}

// Hashed like the installed files, several at once; a blob that does not match (or cannot be read) is
// deleted, so that it is fetched again from the start.
std::vector<bool> DownloadStage::CheckStoredBlobs(const std::vector<std::pair<std::string, std::uint64_t>>& blobs) {
    std::vector<std::uint64_t> sizes;
    for (const auto& [sha256, size] : blobs) {
        sizes.push_back(size);
        progress_.bytesTotal += size;
    }
    const auto check = [&](std::size_t i, const std::atomic<bool>&, FileHasher& hasher) {
        std::uint64_t counted = 0;
        const std::string digest = hasher.HashFile(CompletePath(blobs[i].first), &stop_, [&](std::uint64_t hashed) {
            progress_.bytesDone += hashed - counted;
            counted = hashed;
        });
        return digest == blobs[i].first;
    };
    const std::vector<CheckOutcome> outcomes = CheckInParallel(sizes, false, check);
    if (stop_.load()) throw Cancelled();
    std::vector<bool> intact;
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        intact.push_back(outcomes[i].state == CheckOutcome::State::Good);
        if (!intact.back()) DeleteFileW(CompletePath(blobs[i].first).c_str());
    }
    return intact;
}

void DownloadStage::PrepareJob(const std::string& sha256, std::uint64_t size, const StoredFiles& stored, bool intact) {
    const std::wstring name = Utf8ToWide(sha256);
    const auto storedSize = [&](const std::wstring& suffix) -> std::optional<std::uint64_t> {
        const auto found = stored.find(name + suffix);
        return found == stored.end() ? std::nullopt : std::optional<std::uint64_t>(found->second);
    };
    const std::wstring complete = CompletePath(sha256);
    if (size == 0) {
        // An empty blob needs no transfer (and an empty range cannot be asked for): it is made
        // here, once its digest is the digest of no bytes.
        if (sha256 != Sha256Hex("")) {
            throw std::runtime_error(Localized("Downloaded data failed verification: ", "下载内容校验失败：") +
                                     ShortDigest(sha256) + Localized(" (please retry)", "（请重试）"));
        }
        if (storedSize(L"") != std::optional<std::uint64_t>(0)) WriteFileAtomic(complete, "");
        ++blobsComplete_;
        return;
    }
    if (intact) {
        bytesAlreadyDone_ += size;
        ++blobsComplete_;
        return;
    }
    auto job = std::make_unique<DownloadJob>();
    job->sha256 = sha256;
    job->size = size;
    job->partPath = complete + L".part";
    job->segPath = complete + L".seg";
    job->segmentCount =
        static_cast<std::uint32_t>(std::max<std::uint64_t>(1, (size + kSegmentSize - 1) / kSegmentSize));
    job->segmentDone.assign(job->segmentCount, false);
    const bool segListed = storedSize(L".seg").has_value();
    job->mayHaveSegList = job->segmentCount > 1 || segListed;

    if (storedSize(L".part") == size) {
        if (segListed) MarkFinishedSegments(ReadWholeFile(job->segPath, kSmallFileLimit), *job);
    } else {
        if (segListed) DeleteFileW(job->segPath.c_str());
        if (!CreatePreallocated(job->partPath, size)) {
            throw std::runtime_error(Localized("Cannot create the download file (disk full?): ",
                                               "无法创建下载文件（磁盘已满？）：") + ShortDigest(sha256));
        }
    }
    for (std::uint32_t i = 0; i < job->segmentCount; ++i) {
        if (job->segmentDone[i]) {
            bytesAlreadyDone_ += SegmentLength(*job, i);
        } else {
            bytesToFetch_ += SegmentLength(*job, i);
            ++job->pending;
            tasks_.push_back({job.get(), i});
        }
    }
    if (job->pending == 0) finalizeList_.push_back(job.get());
    jobs_.push_back(std::move(job));
}

void DownloadStage::Run() {
    const unsigned count =
        DownloadWorkerCount(finalizeList_.size() + tasks_.size(), std::thread::hardware_concurrency());
    std::vector<std::thread> workers;
    try {
        for (unsigned i = 0; i < count; ++i) workers.emplace_back(&DownloadStage::Worker, this);
    } catch (const std::exception& e) {
        RecordFailure(e.what());  // the workers already started see the flag and end
    }
    for (auto& worker : workers) worker.join();
    if (!firstError_.empty()) throw std::runtime_error(firstError_);
    if (stop_.load()) throw Cancelled();
}

void DownloadStage::Worker() {
    try {
        HttpSession session;
        const TransferBuffer buffer;
        for (;;) {
            DownloadJob* finalize = nullptr;
            SegmentTask task;
            {
                std::lock_guard<std::mutex> guard(mutex_);
                if (!firstError_.empty() || stop_.load()) return;
                if (!finalizeList_.empty()) {
                    finalize = finalizeList_.back();
                    finalizeList_.pop_back();
                } else if (nextTask_ < tasks_.size()) {
                    task = tasks_[nextTask_++];
                } else {
                    return;
                }
            }
            if (finalize != nullptr) {
                FinalizeDownload(*finalize, StoredDigest(*finalize, buffer));
            } else {
                FetchSegment(session, buffer, task);
            }
        }
    } catch (const Cancelled&) {
        // A stop, or another worker's failure: end quietly.
    } catch (const std::exception& e) {
        RecordFailure(e.what());
    }
}

void DownloadStage::RecordFailure(const std::string& message) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (firstError_.empty()) firstError_ = message;
    failed_ = true;
}

void DownloadStage::FetchSegment(HttpSession& session, const TransferBuffer& buffer, const SegmentTask& task) {
    DownloadJob& job = *task.job;
    // A blob of one segment is written and then read back through one handle: its check reads the
    // bytes on disk without opening the file a second time.
    UniqueHandle whole;
    if (job.segmentCount == 1) {
        whole.reset(CreateFileW(job.partPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!whole) ThrowLastError("无法写入 " + WideToUtf8(job.partPath));
    }
    if (!FetchRest(session, buffer, task, whole.get())) return;
    // The worker that finishes a blob's last segment verifies it at once, so a blob of one segment
    // needs no list: a stop before the check costs that one segment, as any unrecorded one.
    if (job.segmentCount > 1) RecordFinishedSegment(job, task.index);
    if (--job.pending > 0) return;
    if (!whole) return FinalizeDownload(job, StoredDigest(job, buffer));
    if (!SetFilePointerEx(whole.get(), LARGE_INTEGER{}, nullptr, FILE_BEGIN)) {
        ThrowLastError("读取失败 " + WideToUtf8(job.partPath));
    }
    const std::string digest =
        FileHasher({buffer.data(), buffer.size()}).HashOpenFile(whole.get(), job.partPath, &stop_);
    whole.reset();  // before the file is renamed
    FinalizeDownload(job, digest);
}

bool DownloadStage::FetchRest(HttpSession& session, const TransferBuffer& buffer, const SegmentTask& task,
                              void* whole) {
    DownloadJob& job = *task.job;
    const std::uint64_t first = task.index * kSegmentSize + task.received;
    const std::uint64_t last = task.index * kSegmentSize + SegmentLength(job, task.index) - 1;
    const std::string url = StoreUrl(baseUrl_, BlobAddress(job.sha256));
    RangeWatch rangeWatch;
    rangeWatch.idleLimitMs = stallLimits.idleMs;
    if (budget_) rangeWatch.largestRead = budget_->LargestRead();
    for (unsigned attempt = task.attempts + 1;; ++attempt) {
        if (stop_.load() || failed_.load()) throw Cancelled();
        std::uint64_t attemptBytes = 0;
        WatchedConnection connection(watch_, ConnectionWatch::Clock::now());
        rangeWatch.received = [&](std::size_t bytes) {
            if (budget_) budget_->Spend(bytes);
            // Under a speed limit every connection waits its turn, so a slow one is the limit's doing.
            const bool keep = connection.Received(bytes, ConnectionWatch::Clock::now());
            return keep || budget_ != nullptr;
        };
        try {
            const auto written = [&](std::span<const unsigned char> block) {
                attemptBytes += block.size();
                progress_.bytesDone += block.size();
            };
            if (whole != nullptr) {
                DownloadRange(session, url, whole, job.partPath, first, last, job.size, &stop_, written, buffer,
                              rangeWatch);
            } else {
                DownloadRange(session, url, job.partPath, first, last, job.size, &stop_, written, buffer, rangeWatch);
            }
            return true;
        } catch (const RangeStalled&) {
            // The bytes it brought stay, written and counted; the rest goes back to the queue for the
            // next free connection. A stall that brought nothing counts as a failed attempt.
            const unsigned attempts = attemptBytes > 0 ? 0 : attempt;
            if (attempts >= kSegmentAttempts || stop_.load()) throw;
            std::lock_guard<std::mutex> guard(mutex_);
            tasks_.push_back({&job, task.index, task.received + attemptBytes, attempts});
            return false;
        } catch (const Cancelled&) {
            progress_.bytesDone -= attemptBytes;
            throw;
        } catch (const std::runtime_error&) {
            progress_.bytesDone -= attemptBytes;
            if (attempt >= kSegmentAttempts || stop_.load()) throw;
        }
        waitBeforeRetry(attempt, stop_);
    }
}

// Appends the index as one write. The list is not flushed: a list that loses its last lines costs
// those segments again, and a ".part" whose list claims more than reached the disk fails the final
// check by hash, so neither ever installs unverified bytes.
void DownloadStage::RecordFinishedSegment(DownloadJob& job, std::uint32_t index) {
    const std::string line = std::to_string(index) + "\n";
    const std::string label = "无法写入 " + WideToUtf8(job.segPath);
    std::lock_guard<std::mutex> guard(job.lock);
    const UniqueHandle file(CreateFileW(job.segPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError(label);
    WriteAll(file.get(), line.data(), static_cast<DWORD>(line.size()), label);
}

// The digest of the ".part" as it is on disk, read through the worker's buffer.
std::string DownloadStage::StoredDigest(const DownloadJob& job, const TransferBuffer& buffer) const {
    return FileHasher({buffer.data(), buffer.size()}).HashFile(job.partPath, &stop_);
}

void DownloadStage::FinalizeDownload(DownloadJob& job, const std::string& storedDigest) {
    if (storedDigest != job.sha256) {
        DeleteFileW(job.partPath.c_str());
        DeleteFileW(job.segPath.c_str());
        throw std::runtime_error(Localized("Downloaded data failed verification: ", "下载内容校验失败：") +
                                 ShortDigest(job.sha256) + Localized(" (please retry)", "（请重试）"));
    }
    if (!MoveFileExW(job.partPath.c_str(), CompletePath(job.sha256).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const DWORD code = GetLastError();
        throw std::runtime_error(Localized("Cannot save the download: ", "无法保存下载文件：") +
                                 WideToUtf8(SystemErrorText(code)));
    }
    if (job.mayHaveSegList) DeleteFileW(job.segPath.c_str());
    ++progress_.filesDone;
}

}  // namespace vk
