#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "engine/download_store.h"
#include "engine/updater.h"
#include "infra/errors.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "support/failure.h"
#include "support/scoped_override.h"
#include "support/temp_dir.h"
#include "support/test_env.h"
#include "support/test_release.h"
#include "support/test_servers.h"

namespace vk {
namespace {

// The fault server's log lines ("<mode.tag> <path> <range>") of the requests this test tagged.
std::vector<std::string> FaultRequests(const std::string& tag) {
    std::vector<std::string> found;
    std::istringstream lines(test::ReadTestEnvFile(L"fault-requests.log"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.find("." + tag + " ") != std::string::npos) found.push_back(line);
    }
    return found;
}

std::string UniqueTag() {
    static int counter = 0;
    std::string tag = "t";
    for (const auto number :
         {static_cast<std::uint64_t>(GetCurrentProcessId()), GetTickCount64(), static_cast<std::uint64_t>(counter++)}) {
        tag += std::to_string(number) + "x";
    }
    return tag;
}

class DownloadStore : public ::testing::Test {
protected:
    void SetUp() override {
        useEnglish = true;
        tag_ = UniqueTag();
    }

    // An updater that fetches through the fault server in the given mode.
    Updater Through(const std::string& mode, const std::string& channel = "v1") const {
        return test::TestUpdaterAt(test::Servers().fault + "/store/" + mode + "." + tag_ + "/game", channel, install_);
    }

    std::string Failure(const Updater& updater, const RemoteRelease& release) {
        return test::FailureOf([&] { updater.Update(release, false, progress_, stop_); });
    }

    std::wstring Downloads(const std::string& name) const {
        return install_ + L"\\.vklauncher\\downloads\\" + Utf8ToWide(name);
    }

    static const ReleaseFile& FileOf(const RemoteRelease& release, const std::string& path) {
        return *std::find_if(release.files.begin(), release.files.end(),
                             [&](const ReleaseFile& f) { return f.path == path; });
    }

    test::TempDir dir_;
    const std::wstring install_ = dir_ / L"game";
    std::string tag_;
    std::atomic<bool> stop_{false};
    UpdateProgress progress_;
};

TEST(Segments, EightMebibyteRangesOfABlob) {
    EXPECT_EQ(kSegmentSize, 8388608u);
    EXPECT_EQ(kMaxDownloadWorkers, 24u);
    EXPECT_EQ(kSegmentAttempts, 5u);
}

TEST_F(DownloadStore, StopInTheMiddleOfABlobThenResume) {
    const Updater slow = Through("trickle");
    const RemoteRelease release = slow.FetchRelease();
    const ReleaseFile& big = FileOf(release, "Velkar/Content/Paks/pakchunk0-Windows.pak");  // three segments
    // Segment 0 arrives at once, segments 1 and 2 trickle: stop once segment 0 is recorded.
    std::thread stopper([&] {
        for (int i = 0; i < 600 && ReadWholeFile(Downloads(big.sha256 + ".seg")).empty(); ++i) Sleep(50);
        Sleep(300);
        stop_ = true;
    });
    const std::string outcome = Failure(slow, release);
    stopper.join();
    EXPECT_EQ(outcome, "cancelled");

    EXPECT_EQ(ReadWholeFile(Downloads(big.sha256 + ".seg")), "0\n");
    EXPECT_EQ(FileSizeOf(Downloads(big.sha256 + ".part")), big.size);
    // What stays counted is exactly what is kept: finished blobs and finished segments.
    std::uint64_t kept = kSegmentSize;
    std::set<std::string> blobs;
    for (const ReleaseFile& file : release.files) {
        if (file.group.empty() && blobs.insert(file.sha256).second && IsRegularFile(Downloads(file.sha256))) {
            kept += file.size;
        }
    }
    EXPECT_EQ(progress_.bytesDone.load(), kept);
    EXPECT_EQ(progress_.phase.load(), UpdatePhase::Downloading);
    EXPECT_FALSE(IsRegularFile(install_ + L"\\Velkar.exe"));  // nothing installed before the downloads end

    stop_ = false;
    const Updater resumed = Through("ok");
    resumed.Update(resumed.FetchRelease(), false, progress_, stop_);
    const std::string blobPath = "game/blobs/" + big.sha256 + " ";
    std::vector<std::string> ranges;
    for (const std::string& line : FaultRequests(tag_)) {
        if (line.rfind("ok.", 0) == 0 && line.find(blobPath) != std::string::npos) {
            ranges.push_back(line.substr(line.rfind(' ') + 1));
        }
    }
    std::sort(ranges.begin(), ranges.end());
    EXPECT_EQ(ranges, (std::vector<std::string>{"bytes=16777216-16789560", "bytes=8388608-16777215"}));
    EXPECT_EQ(ReadWholeFile(install_ + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"),
              ReadWholeFile(test::GameTree(L"v1") + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"));
}

// The ranges this test asked for of one blob, as "first-last", in order of first byte.
std::vector<std::pair<std::uint64_t, std::uint64_t>> RangesAskedFor(const std::vector<std::string>& lines,
                                                                    const std::string& sha256) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> ranges;
    for (const std::string& line : lines) {
        const std::size_t at = line.find(sha256 + " bytes=");
        if (at == std::string::npos) continue;
        const std::string range = line.substr(at + sha256.size() + 7);
        const std::size_t dash = range.find('-');
        ranges.emplace_back(std::stoull(range.substr(0, dash)), std::stoull(range.substr(dash + 1)));
    }
    std::sort(ranges.begin(), ranges.end());
    return ranges;
}

// Stalls are judged within a second or two here, so that the tests take seconds and not minutes.
class StalledConnections : public DownloadStore {
protected:
    StallLimits Quick() const {
        StallLimits quick;
        quick.idleMs = 2000;
        quick.slowMs = 1500;
        quick.sampleMs = 250;
        quick.fastBytesPerSecond = 64 * 1024;  // the fast answers' 2 MiB/s, with room for a loaded machine
        return quick;
    }

    // Installs the game through the mode and returns the ranges asked for of its three-segment blob.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> InstallThrough(const std::string& mode) {
        const test::ScopedOverride quick(stallLimits, Quick());
        const Updater updater = Through(mode);
        const RemoteRelease release = updater.FetchRelease();
        const ReleaseFile& big = FileOf(release, "Velkar/Content/Paks/pakchunk0-Windows.pak");
        updater.Update(release, false, progress_, stop_);
        EXPECT_EQ(ReadWholeFile(install_ + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"),
                  ReadWholeFile(test::GameTree(L"v1") + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"));
        EXPECT_EQ(progress_.bytesDone.load(), progress_.bytesTotal.load());
        return RangesAskedFor(FaultRequests(tag_), big.sha256);
    }
};

TEST_F(StalledConnections, ARangeThatStopsHalfwayIsTakenUpWhereItStopped) {
    // The first segment sends its first half and then nothing: the rest is asked for from there, and
    // no byte is asked for twice.
    using Ranges = std::vector<std::pair<std::uint64_t, std::uint64_t>>;
    EXPECT_EQ(InstallThrough("stallhalf"), (Ranges{{0, kSegmentSize - 1},
                                                   {kSegmentSize / 2, kSegmentSize - 1},
                                                   {kSegmentSize, 2 * kSegmentSize - 1},
                                                   {2 * kSegmentSize, 16789560}}));
}

TEST_F(StalledConnections, ARangeThatCrawlsBesideFastOnesIsTakenUpWhereItStopped) {
    // The first segment crawls at 1 KiB a second while the others go at 2 MiB a second: it is given up
    // and the rest asked for after the bytes it brought. Every segment is asked for once more at most
    // after a stall, always past what came before.
    const auto ranges = InstallThrough("crawl");
    ASSERT_GE(ranges.size(), 4u);
    EXPECT_EQ(ranges[0], std::make_pair(std::uint64_t{0}, kSegmentSize - 1));
    EXPECT_GT(ranges[1].first, 0u);
    EXPECT_LT(ranges[1].first, kSegmentSize / 2) << "given up long before half of it crawled in";
    EXPECT_EQ(ranges[1].second, kSegmentSize - 1);
    for (std::size_t i = 1; i < ranges.size(); ++i) {
        const bool sameSegment = ranges[i].second == ranges[i - 1].second;
        EXPECT_TRUE(sameSegment ? ranges[i].first > ranges[i - 1].first : ranges[i].first == ranges[i - 1].second + 1)
            << "range " << i << " asks again for bytes already fetched";
    }
    EXPECT_EQ(ranges.back(), std::make_pair(2 * kSegmentSize, std::uint64_t{16789560}));
}

TEST_F(DownloadStore, UnderASpeedLimitTheGameArrivesWhole) {
    // Pieces are read a few at a time through the shared budget; the rate itself is measured by the bench.
    Updater updater = Through("ok");
    updater.downloadLimitKiB = 16 * 1024;
    updater.Update(updater.FetchRelease(), false, progress_, stop_);
    EXPECT_EQ(ReadWholeFile(install_ + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"),
              ReadWholeFile(test::GameTree(L"v1") + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"));
    EXPECT_EQ(progress_.bytesDone.load(), progress_.bytesTotal.load());
}

TEST_F(DownloadStore, PartOfTheWrongSizeStartsAfresh) {
    const Updater updater = Through("ok");
    const RemoteRelease release = updater.FetchRelease();
    const ReleaseFile& big = FileOf(release, "Velkar/Content/Paks/pakchunk0-Windows.pak");
    test::WriteTestFile(Downloads(big.sha256 + ".part"), std::string(1000, 'x'));
    test::WriteTestFile(Downloads(big.sha256 + ".seg"), "0\n1\n2\n");
    updater.Update(release, false, progress_, stop_);
    int fetched = 0;
    for (const std::string& line : FaultRequests(tag_)) {
        fetched += line.find(big.sha256 + " bytes=") != std::string::npos;
    }
    EXPECT_EQ(fetched, 3);
    EXPECT_FALSE(IsRegularFile(Downloads(big.sha256 + ".seg")));
}

TEST_F(DownloadStore, FinishedSegmentsOnDiskAreNotFetchedAgain) {
    const Updater updater = Through("ok");
    const RemoteRelease release = updater.FetchRelease();
    const ReleaseFile& big = FileOf(release, "Velkar/Content/Paks/pakchunk0-Windows.pak");
    // A ".part" of the right size holding the first two segments; the ".seg" also names one that does
    // not exist and carries a CR, as a list written by hand might.
    const std::string content =
        ReadWholeFile(test::GameTree(L"v1") + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak");
    std::string part = content.substr(0, 2 * kSegmentSize);
    part.resize(content.size(), '\0');
    test::WriteTestFile(Downloads(big.sha256 + ".part"), part);
    test::WriteTestFile(Downloads(big.sha256 + ".seg"), "1\r\n0\n7\n");
    updater.Update(release, false, progress_, stop_);
    std::vector<std::string> ranges;
    for (const std::string& line : FaultRequests(tag_)) {
        if (line.find(big.sha256 + " bytes=") != std::string::npos) ranges.push_back(line.substr(line.rfind(' ') + 1));
    }
    EXPECT_EQ(ranges, std::vector<std::string>{"bytes=16777216-16789560"});
    EXPECT_EQ(ReadWholeFile(install_ + L"\\Velkar\\Content\\Paks\\pakchunk0-Windows.pak"), content);
}

TEST_F(DownloadStore, EmptyBlobIsMadeWithoutARequest) {
    const std::string empty = "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    // A file under the empty blob's name that is not empty is no finished blob.
    test::WriteTestFile(Downloads(empty), "left over");
    const Updater updater = Through("ok");
    updater.Update(updater.FetchRelease(), false, progress_, stop_);
    EXPECT_TRUE(IsRegularFile(install_ + L"\\Velkar\\Content\\Empty.txt"));
    EXPECT_EQ(FileSizeOf(install_ + L"\\Velkar\\Content\\Empty.txt"), 0u);
    for (const std::string& line : FaultRequests(tag_)) {
        EXPECT_EQ(line.find(empty), std::string::npos) << line;
    }
}

TEST_F(DownloadStore, BlobWhoseBytesDoNotMatchIsDeletedAndNamed) {
    const Updater updater = Through("corrupt", "single");
    const RemoteRelease release = updater.FetchRelease();
    const std::string& digest = release.files.at(0).sha256;
    EXPECT_EQ(Failure(updater, release),
              "Downloaded data failed verification: " + digest.substr(0, 12) + " (please retry)");
    EXPECT_FALSE(IsRegularFile(Downloads(digest + ".part")));
    EXPECT_FALSE(IsRegularFile(Downloads(digest + ".seg")));
    EXPECT_FALSE(IsRegularFile(install_ + L"\\Velkar\\Content\\Paks\\single.pak"));
}

// A blob found complete in the store was not checked by this run: a write torn by a power cut, or a
// file someone placed there, has the right name and size but not the right bytes.
TEST_F(DownloadStore, ABlobLeftInTheStoreIsCheckedBeforeItIsInstalled) {
    const Updater updater = Through("ok", "single");
    const RemoteRelease release = updater.FetchRelease();
    const ReleaseFile& file = release.files.at(0);
    const std::wstring installed = install_ + L"\\Velkar\\Content\\Paks\\single.pak";
    const std::string content = ReadWholeFile(test::GameTree(L"single") + L"\\Velkar\\Content\\Paks\\single.pak");
    ASSERT_EQ(content.size(), file.size);
    const auto fetched = [&] {
        int requests = 0;
        for (const std::string& line : FaultRequests(tag_))
            requests += line.find(file.sha256 + " ") != std::string::npos;
        return requests;
    };

    test::WriteTestFile(Downloads(file.sha256), std::string(file.size, 'x'));
    updater.Update(release, false, progress_, stop_);
    EXPECT_EQ(ReadWholeFile(installed), content);
    EXPECT_EQ(fetched(), 1) << "the blob was not fetched again";
    EXPECT_FALSE(IsRegularFile(Downloads(file.sha256)));

    // A good one is taken as it is.
    DeleteFileW(installed.c_str());
    test::WriteTestFile(Downloads(file.sha256), content);
    updater.Update(release, true, progress_, stop_);
    EXPECT_EQ(ReadWholeFile(installed), content);
    EXPECT_EQ(fetched(), 1);
}

// Writes the bytes with the first one changed and reports success: a disk that loses what it was given.
BOOL WINAPI AlteredWrite(HANDLE file, LPCVOID bytes, DWORD length, LPDWORD written, LPOVERLAPPED overlapped) {
    std::string altered(static_cast<const char*>(bytes), length);
    if (!altered.empty()) altered[0] = static_cast<char>(altered[0] ^ 0x5a);
    return WriteFile(file, altered.data(), length, written, overlapped);
}

TEST_F(DownloadStore, BlobWhoseBytesOnDiskDifferFromTheReceivedOnesIsNotAccepted) {
    // The server sends the right bytes; only what reached the file decides.
    const Updater updater = Through("ok", "single");
    const RemoteRelease release = updater.FetchRelease();
    const std::string& digest = release.files.at(0).sha256;
    ASSERT_LE(release.files.at(0).size, kSegmentSize);  // a blob of one segment, fetched in one piece
    {
        const test::ScopedOverride altered(writeFileCall, WriteFileCall{AlteredWrite});
        EXPECT_EQ(Failure(updater, release),
                  "Downloaded data failed verification: " + digest.substr(0, 12) + " (please retry)");
    }
    EXPECT_FALSE(IsRegularFile(Downloads(digest)));
    EXPECT_FALSE(IsRegularFile(Downloads(digest + ".part")));
    EXPECT_FALSE(IsRegularFile(install_ + L"\\Velkar\\Content\\Paks\\single.pak"));
}

TEST(DownloadWorkers, OneForEachTaskAtMost24AndFourPerProcessor) {
    const struct {
        std::size_t tasks;
        unsigned processors, workers;
    } cases[] = {
        {0, 2, 0}, {3, 2, 3}, {100, 2, 8}, {100, 16, 24}, {5, 16, 5}, {100, 0, 4},  // 0: the count is unknown
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DownloadWorkerCount(c.tasks, c.processors), c.workers) << c.tasks << " tasks, " << c.processors;
    }
}

std::mutex waitsLock;
std::vector<unsigned> waits;

void RecordWait(unsigned attempt, const std::atomic<bool>&) {
    std::lock_guard<std::mutex> guard(waitsLock);
    waits.push_back(attempt);
}

TEST_F(DownloadStore, RangeAnsweredWithAnErrorFiveTimesFailsTheUpdate) {
    // The product waits 2, 4, 8 and 16 seconds between attempts; the test records the waits instead.
    const test::ScopedOverride recorded(waitBeforeRetry, RetryWait{RecordWait});
    const Updater updater = Through("fail500", "single");
    const RemoteRelease release = updater.FetchRelease();
    EXPECT_EQ(Failure(updater, release), "Download failed: HTTP 500");
    EXPECT_EQ(waits, (std::vector<unsigned>{1, 2, 3, 4}));
    int attempts = 0;
    for (const std::string& line : FaultRequests(tag_)) attempts += line.find("/blobs/") != std::string::npos;
    EXPECT_EQ(attempts, 5);
    EXPECT_EQ(progress_.bytesDone.load(), 0u);
    // The ".part" stays for the next attempt, with no segment recorded as done.
    EXPECT_EQ(FileSizeOf(Downloads(release.files.at(0).sha256 + ".part")), release.files.at(0).size);
    EXPECT_EQ(ReadWholeFile(Downloads(release.files.at(0).sha256 + ".seg")), "");
}

TEST(RetryWait, BackOffDoublesAndAStopCutsItShort) {
    std::atomic<bool> stop{true};
    const auto start = GetTickCount64();
    WaitSecondsOrStop(4, stop);  // 16 seconds unless stopped
    EXPECT_LT(GetTickCount64() - start, 2000u);
}

}  // namespace
}  // namespace vk
