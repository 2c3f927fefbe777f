#include "infra/http.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"
#include "support/failure.h"
#include "support/scoped_override.h"
#include "support/temp_dir.h"
#include "support/test_servers.h"

namespace vk {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

using test::FailureOf;
using test::Servers;

TEST(CrackUrl, SplitsHostPortAndPathWithoutDecoding) {
    const struct {
        std::string url;
        std::wstring host;
        std::wstring path;
        INTERNET_PORT port;
        bool https;
    } cases[] = {
        {"https://updates.example.com/velkar/channels/live/windows.json?t=1700000000", L"updates.example.com",
         L"/velkar/channels/live/windows.json?t=1700000000", 443, true},
        {"http://updates.example.com/blobs/ab", L"updates.example.com", L"/blobs/ab", 80, false},
        {"https://localhost:8443/a%20b/c?x=%41&y", L"localhost", L"/a%20b/c?x=%41&y", 8443, true},
        {"http://127.0.0.1:1/", L"127.0.0.1", L"/", 1, false},
    };
    for (const auto& c : cases) {
        const ParsedUrl parsed = CrackUrl(c.url);
        EXPECT_EQ(parsed.host, c.host) << c.url;
        EXPECT_EQ(parsed.path, c.path) << c.url;
        EXPECT_EQ(parsed.port, c.port) << c.url;
        EXPECT_EQ(parsed.https, c.https) << c.url;
    }
}

TEST(CrackUrl, RefusesWhatItCannotSplit) {
    const std::string longestHost(255, 'h');
    EXPECT_EQ(CrackUrl("https://" + longestHost + "/x").host, Utf8ToWide(longestHost));
    for (const std::string& url : {std::string("ftp://localhost/blobs/ab"), std::string("updates.example.com/x"),
                                   "https://" + longestHost + "h/x"}) {
        const std::string message = FailureOf([&] { CrackUrl(url); });
        EXPECT_TRUE(message.starts_with("无效地址 " + url + "：")) << message;
        EXPECT_TRUE(message.ends_with("）")) << message;
    }
}

TEST(RangeHeader, DecimalOffsetsLastInclusive) {
    EXPECT_EQ(RangeHeader(8388608, 16777215), L"Range: bytes=8388608-16777215\r\n");
    EXPECT_EQ(RangeHeader(0, 0), L"Range: bytes=0-0\r\n");
}

// Messages of the program's own rules are checked in English unless a case says otherwise.
class Http : public ::testing::Test {
protected:
    void SetUp() override { useEnglish = true; }
    void TearDown() override { useEnglish = false; }

    static std::string Www(const std::wstring& name) { return ReadWholeFile(test::WwwDir() + L"\\" + name); }

    HttpSession session_;
};

TEST_F(Http, SendGetReadsStatusAndAnnouncedLength) {
    for (const std::string& base : {Servers().https, Servers().http}) {
        const HttpRequest sent = SendGet(session_, base + "/hello.txt", L"");
        EXPECT_EQ(sent.status, 200u) << base;
        EXPECT_EQ(sent.contentLength, Www(L"hello.txt").size()) << base;
    }
    const HttpRequest unannounced = SendGet(session_, Servers().fault + "/no-length/100", L"");
    EXPECT_EQ(unannounced.status, 200u);
    EXPECT_EQ(unannounced.contentLength, 0u);
}

TEST_F(Http, GetToMemoryFetchesDocumentsWithoutCaching) {
    for (const std::string& base : {Servers().https, Servers().http}) {
        const std::string query = test::UniqueQuery();
        const HttpResponse response = HttpGetToMemory(session_, base + "/hello.txt" + query);
        EXPECT_EQ(response.status, 200u) << base;
        EXPECT_EQ(response.body, Www(L"hello.txt")) << base;
        // The query reaches the server unchanged, with our user agent, the no-cache header and no range.
        EXPECT_EQ(test::AccessLogLines(query),
                  std::vector<std::string>{"/hello.txt" + query + "|-|no-cache|VelkarLauncher/1|200|" +
                                           std::to_string(Www(L"hello.txt").size())})
            << base;
    }
}

TEST_F(Http, GetToMemoryReturnsErrorPagesWithoutThrowing) {
    const struct {
        std::string url;
        std::uint32_t status;
        std::string bodyPart;
    } cases[] = {
        {Servers().https + "/channels/none/windows.json", 404, "404 Not Found"},
        {Servers().fault + "/status/404", 404, "status 404 from the fault server"},
        {Servers().fault + "/status/503", 503, "status 503 from the fault server"},
    };
    for (const auto& c : cases) {
        const HttpResponse response = HttpGetToMemory(session_, c.url);
        EXPECT_EQ(response.status, c.status) << c.url;
        EXPECT_NE(response.body.find(c.bodyPart), std::string::npos) << c.url << ": " << response.body;
    }
}

TEST_F(Http, GetToMemoryFollowsRedirects) {
    const HttpResponse response = HttpGetToMemory(session_, Servers().https + "/redirect-to-hello");
    EXPECT_EQ(response.status, 200u);
    EXPECT_EQ(response.body, Www(L"hello.txt"));
}

TEST_F(Http, GetToMemoryAcceptsExactly64MiB) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> calls;
    const HttpResponse response = HttpGetToMemory(
        session_, Servers().https + "/limit-exact.bin",
        [&](std::uint64_t received, std::uint64_t announced) { calls.emplace_back(received, announced); });
    EXPECT_EQ(response.status, 200u);
    ASSERT_EQ(response.body.size(), 64 * kMiB);
    EXPECT_TRUE(response.body == Www(L"limit-exact.bin"));
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), std::pair(64 * kMiB, 64 * kMiB));
    for (std::size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].second, 64 * kMiB);
        if (i > 0) {
            EXPECT_GT(calls[i].first, calls[i - 1].first);
        }
    }
}

TEST_F(Http, GetToMemoryRefusesOneByteMoreThan64MiB) {
    for (bool english : {true, false}) {
        useEnglish = english;
        const std::string message =
            FailureOf([&] { HttpGetToMemory(session_, Servers().https + "/limit-over.bin"); });
        EXPECT_EQ(message, english ? "Manifest too large" : "清单过大");
    }
}

TEST_F(Http, GetToMemoryReportsAnUnannouncedLengthAsZero) {
    std::vector<std::uint64_t> announced;
    const HttpResponse response =
        HttpGetToMemory(session_, Servers().fault + "/no-length/5000",
                        [&](std::uint64_t, std::uint64_t length) { announced.push_back(length); });
    EXPECT_EQ(response.body, test::FaultBlob(5000));
    ASSERT_FALSE(announced.empty());
    for (std::uint64_t length : announced) EXPECT_EQ(length, 0u);
}

TEST_F(Http, UnreachableServersFailTheRequest) {
    // Nothing listens on port 1; the HTTPS case talks TLS to the plain HTTP server.
    const std::string refused = FailureOf([&] { HttpGetToMemory(session_, "http://127.0.0.1:1/x"); });
    EXPECT_TRUE(refused.starts_with("网络请求失败：")) << refused;
    EXPECT_TRUE(refused.ends_with("（12029）")) << refused;
    const std::string tlsToPlain =
        FailureOf([&] { HttpGetToMemory(session_, "https" + Servers().http.substr(4) + "/hello.txt"); });
    EXPECT_TRUE(tlsToPlain.starts_with("网络请求失败：")) << tlsToPlain;
}

// A server that drips a byte a second would otherwise hold a document transfer for as long as it likes.
// The product allows two minutes plus the time the bytes received would take at 16 KiB/s; the test
// allows two seconds. (The answer's head is bounded the same way through WinHTTP's receive-response
// time-out, which Windows applies to the whole head; Wine applies it to each read, so a head dripped a
// byte at a time is cut off only once it is complete, and that case is not shown here.)
TEST_F(Http, ADocumentThatDripsIsGivenUpOnAtItsDeadline) {
    const test::ScopedOverride shorter(documentDeadline, TransferDeadline{2000, 64 * 1024});
    EXPECT_EQ(FailureOf([&] { HttpGetToMemory(session_, Servers().fault + "/drip/30"); }),
              "The update server is too slow. Try again later.");
    useEnglish = false;
    EXPECT_EQ(FailureOf([&] { HttpGetToMemory(session_, Servers().fault + "/drip/30"); }),
              "更新服务器响应太慢，请稍后再试。");
}

// The deadline grows with what arrives: a transfer that outlasts the allowance but keeps the minimum
// rate finishes.
TEST_F(Http, ASlowButSteadyDocumentFinishes) {
    const test::ScopedOverride shorter(documentDeadline, TransferDeadline{300, 16 * 1024});
    EXPECT_EQ(HttpGetToMemory(session_, Servers().fault + "/slow/262144").body, test::FaultBlob(262144));
}

// A file that stands for a preallocated download: `size` dots.
class RangeDownload : public Http {
protected:
    void Prepare(std::uint64_t size) { test::WriteTestFile(path_, std::string(size, '.')); }
    std::string Content() const { return ReadWholeFile(path_); }

    WrittenBlock Recorder() {
        return [this](std::span<const unsigned char> block) {
            increments_.push_back(block.size());
            delivered_.append(block.begin(), block.end());
        };
    }

    test::TempDir dir_;
    const std::wstring path_ = dir_ / L"blob.part";
    std::vector<std::uint64_t> increments_;
    std::string delivered_;  // the blocks handed over, in order
    const TransferBuffer buffer_;
};

TEST_F(RangeDownload, WritesTheRangeAtItsOffsetInPiecesOfAtMostOneMiB) {
    const std::string source = Www(L"random-3m.bin");
    const std::uint64_t first = kMiB + 5;
    const std::uint64_t last = 3 * kMiB - 7;
    Prepare(source.size());
    const std::string query = test::UniqueQuery();
    DownloadRange(session_, Servers().https + "/random-3m.bin" + query, path_, first, last, source.size(), nullptr,
                  Recorder(), buffer_);

    std::string expected(source.size(), '.');
    expected.replace(first, last - first + 1, source, first, last - first + 1);
    EXPECT_TRUE(Content() == expected);
    // Each block is handed over with the bytes that were written, so a reader of the blocks sees the range.
    EXPECT_TRUE(delivered_ == source.substr(first, last - first + 1));
    EXPECT_GE(increments_.size(), 2u);
    for (std::uint64_t count : increments_) EXPECT_LE(count, kMiB);
    EXPECT_EQ(test::AccessLogLines(query), std::vector<std::string>{"/random-3m.bin" + query + "|bytes=" +
                                                                    std::to_string(first) + "-" + std::to_string(last) +
                                                                    "|-|VelkarLauncher/1|206|" +
                                                                    std::to_string(last - first + 1)});
}

// What a range download leaves in the file.
enum class Written { Range, Nothing, RangeButLastByte, NothingBeyondRange };

TEST_F(RangeDownload, AcceptsOnlyAnswersThatFitTheRange) {
    const struct {
        const char* path;
        std::uint64_t first, last, blobSize;
        bool english;
        std::string failure;  // empty: accepted
        Written written;
    } cases[] = {
        {"/range/200", 10, 59, 200, true, "", Written::Range},
        {"/no-length/200", 10, 59, 200, true, "", Written::Range},
        {"/ignore-range/100", 0, 99, 100, true, "", Written::Range},
        {"/ignore-range/200", 0, 99, 200, true, "Download failed: HTTP 200", Written::Nothing},
        {"/ignore-range/200", 0, 99, 200, false, "下载失败 HTTP 200", Written::Nothing},
        {"/wrong-length/200", 10, 59, 200, true, "Download failed: HTTP 206", Written::Nothing},
        {"/status/404", 0, 99, 100, true, "Download failed: HTTP 404", Written::Nothing},
        {"/short/200", 10, 59, 200, true, "Download incomplete", Written::RangeButLastByte},
        {"/short/200", 10, 59, 200, false, "下载不完整", Written::RangeButLastByte},
        {"/long/200", 10, 59, 200, true, "Download returned more data than requested", Written::NothingBeyondRange},
        {"/long/200", 10, 59, 200, false, "下载内容超出请求范围", Written::NothingBeyondRange},
    };
    for (const auto& c : cases) {
        useEnglish = c.english;
        Prepare(c.blobSize + 10);
        const std::string failure = FailureOf([&] {
            DownloadRange(session_, Servers().fault + c.path, path_, c.first, c.last, c.blobSize, nullptr, [](auto) {}, buffer_);
        });
        EXPECT_EQ(failure, c.failure.empty() ? "no failure" : c.failure) << c.path;

        const std::string blob = test::FaultBlob(c.blobSize);
        const std::string content = Content();
        const std::uint64_t count = c.last - c.first + 1;
        std::string range = blob.substr(c.first, count);
        if (c.written == Written::Nothing) range.assign(count, '.');
        if (c.written == Written::RangeButLastByte) range.back() = '.';
        // The surplus may arrive with the range or in a read of its own: the range is then all or nothing.
        if (c.written == Written::NothingBeyondRange && content.compare(c.first, count, std::string(count, '.')) == 0) {
            range.assign(count, '.');
        }
        const std::string expected =
            std::string(c.first, '.') + range + std::string(c.blobSize + 10 - c.last - 1, '.');
        EXPECT_TRUE(content == expected) << c.path;
    }
}

TEST_F(RangeDownload, StopFlagSetBeforehandCancelsWithoutWriting) {
    Prepare(200);
    std::atomic<bool> stop{true};
    EXPECT_THROW(DownloadRange(session_, Servers().fault + "/range/200", path_, 0, 199, 200, &stop, Recorder(), buffer_),
                 Cancelled);
    EXPECT_TRUE(increments_.empty());
    EXPECT_EQ(Content(), std::string(200, '.'));
}

TEST_F(RangeDownload, StopFlagSetDuringTheTransferCancelsAtTheNextRead) {
    // The server sends the range in pauses, so the transfer is still under way after the first write
    // (a buffer's worth): the stop set then ends it at the next read, and what follows is not written.
    const std::uint64_t size = 4 * TransferBuffer::size();
    Prepare(size);
    std::atomic<bool> stop{false};
    EXPECT_THROW(DownloadRange(session_, Servers().fault + "/slow/" + std::to_string(size), path_, 0, size - 1, size,
                               &stop,
                               [&](std::span<const unsigned char> block) {
                                   increments_.push_back(block.size());
                                   stop = true;
                               },
                               buffer_),
                 Cancelled);
    ASSERT_EQ(increments_.size(), 1u);
    const std::string content = Content();
    EXPECT_TRUE(content.substr(0, increments_[0]) == test::FaultBlob(increments_[0]));
    EXPECT_TRUE(content.substr(increments_[0]) == std::string(content.size() - increments_[0], '.'));
}

TEST_F(RangeDownload, ConnectionResetMidBodyFails) {
    // Half the announced body, then a reset: either the read reports the broken connection or the stream
    // ends short, depending on how the platform's HTTP stack surfaces it (Wine's ends the stream); both
    // fail the range.
    Prepare(200);
    const std::string failure = FailureOf([&] {
        DownloadRange(session_, Servers().fault + "/drop/200", path_, 0, 199, 200, nullptr, [](auto) {}, buffer_);
    });
    EXPECT_TRUE(failure.starts_with("下载中断：") || failure == "Download incomplete") << failure;
}

// Writes half of what it is given and reports success, leaving the last error at 0.
BOOL WINAPI ShortWrite(HANDLE file, LPCVOID bytes, DWORD length, LPDWORD written, LPOVERLAPPED overlapped) {
    const BOOL done = WriteFile(file, bytes, length / 2, written, overlapped);
    SetLastError(ERROR_SUCCESS);
    return done;
}

TEST_F(RangeDownload, ShortWriteIsReportedAsAWriteFault) {
    // A full disk or a network drive can accept fewer bytes than offered without failing the call.
    const test::ScopedOverride shortWrites(writeFileCall, WriteFileCall{ShortWrite});
    Prepare(200);
    const std::string failure = FailureOf([&] {
        DownloadRange(session_, Servers().fault + "/range/200", path_, 0, 199, 200, nullptr, [](auto) {}, buffer_);
    });
    EXPECT_TRUE(failure.starts_with("写入失败（磁盘已满？）" + WideToUtf8(path_) + "：")) << failure;
    EXPECT_TRUE(failure.ends_with("（29）")) << failure;  // ERROR_WRITE_FAULT
}

TEST_F(RangeDownload, FileThatDoesNotExistIsNotCreated) {
    const std::string failure = FailureOf([&] {
        DownloadRange(session_, Servers().fault + "/range/200", path_, 0, 99, 200, nullptr, [](auto) {}, buffer_);
    });
    EXPECT_TRUE(failure.starts_with("无法写入 " + WideToUtf8(path_) + "：")) << failure;
    EXPECT_TRUE(failure.ends_with("（2）")) << failure;
    EXPECT_FALSE(IsRegularFile(path_));
}

}  // namespace
}  // namespace vk
