#include "infra/sha256.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <iostream>
#include <thread>
#include <vector>

#include "infra/errors.h"
#include "infra/handles.h"
#include "infra/sha256_blocks_portable.h"
#include "infra/sha256_stream_portable.h"
#include "infra/text.h"
#include "support/failure.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

// Bytes that differ from block to block, so that a block hashed twice or skipped changes the digest.
std::string Varied(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (auto& c : bytes) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    return bytes;
}

// The platform's SHA-256, the reference the program's own implementations are held to.
std::string CngDigest(const std::string& bytes) {
    BCRYPT_ALG_HANDLE handle = nullptr;
    CheckStatus(BCryptOpenAlgorithmProvider(&handle, BCRYPT_SHA256_ALGORITHM, nullptr, 0), "SHA-256");
    const UniqueAlgorithmProvider provider(handle);
    unsigned char digest[32];
    CheckStatus(BCryptHash(provider.get(), nullptr, 0, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                           static_cast<ULONG>(bytes.size()), digest, sizeof digest),
                "SHA-256");
    return DigestText(digest);
}

std::string StreamDigest(Sha256Implementation implementation, const std::string& bytes) {
    Sha256Stream stream(Sha256BlocksOf(implementation));
    stream.Add(bytes.data(), bytes.size());
    unsigned char digest[32];
    stream.Finish(digest);
    return DigestText(digest);
}

TEST(Sha256Hex, EveryLengthUpTo300MatchesCngInEveryImplementation) {
    const std::string bytes = Varied(300);
    const bool extensions = ProcessorHasShaExtensions();
    if (!extensions) std::cout << "This processor lacks the SHA extensions: only the portable code is compared\n";
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::string input = bytes.substr(0, length);
        const std::string reference = CngDigest(input);
        EXPECT_EQ(Sha256Hex(input), reference) << length;
        EXPECT_EQ(StreamDigest(Sha256Implementation::Portable, input), reference) << length;
        if (extensions) {
            EXPECT_EQ(StreamDigest(Sha256Implementation::ShaExtensions, input), reference) << length;
        }
    }
}

TEST(Sha256Hasher, PiecesGiveTheDigestOfTheWhole) {
    const std::string data = Varied(200000);
    Sha256Hasher hasher;
    std::size_t offset = 0;
    for (std::size_t piece : {0, 1, 63, 64, 65, 4096, 131072}) {
        hasher.Add(data.data() + offset, piece);
        offset += piece;
    }
    hasher.Add(data.data() + offset, data.size() - offset);
    EXPECT_EQ(hasher.Finish(), Sha256Hex(data));
}

TEST(Sha256Hasher, FinishingStartsTheNextDigest) {
    const std::string first = Varied(100000);
    Sha256Hasher hasher;
    hasher.Add(first.data(), first.size());
    EXPECT_EQ(hasher.Finish(), Sha256Hex(first));
    hasher.Add("abc", 3);
    EXPECT_EQ(hasher.Finish(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(hasher.Finish(), Sha256Hex(""));
}

class Sha256FileTest : public ::testing::Test {
protected:
    std::function<void(std::uint64_t)> Recorder() {
        return [this](std::uint64_t total) { totals_.push_back(total); };
    }

    test::TempDir dir_;
    std::vector<std::uint64_t> totals_;
};

TEST_F(Sha256FileTest, EmptyFileGivesTheEmptyDigestWithoutProgress) {
    test::WriteTestFile(dir_ / L"empty.bin", "");
    EXPECT_EQ(Sha256File(dir_ / L"empty.bin", nullptr, Recorder()), Sha256Hex(""));
    EXPECT_TRUE(totals_.empty());
}

TEST_F(Sha256FileTest, ProgressReportsTheRunningTotalOncePerBlock) {
    const std::string content = Varied(9 * kMiB);
    test::WriteTestFile(dir_ / L"更新.pak", content);
    std::atomic<bool> stop{false};
    EXPECT_EQ(Sha256File(dir_ / L"更新.pak", &stop, Recorder()), Sha256Hex(content));
    EXPECT_EQ(totals_, (std::vector<std::uint64_t>{4 * kMiB, 8 * kMiB, 9 * kMiB}));
    // Neither a stop flag nor a callback is needed.
    EXPECT_EQ(Sha256File(dir_ / L"更新.pak"), Sha256Hex(content));
}

TEST_F(Sha256FileTest, StopFlagAlreadySetCancelsBeforeReading) {
    test::WriteTestFile(dir_ / L"blob", Varied(1000));
    std::atomic<bool> stop{true};
    EXPECT_THROW(Sha256File(dir_ / L"blob", &stop, Recorder()), Cancelled);
    EXPECT_TRUE(totals_.empty());
}

TEST_F(Sha256FileTest, StopFlagSetWhileHashingCancelsAtTheNextBlock) {
    test::WriteTestFile(dir_ / L"blob", Varied(9 * kMiB));
    std::atomic<bool> stop{false};
    EXPECT_THROW(Sha256File(dir_ / L"blob", &stop,
                            [&](std::uint64_t total) {
                                totals_.push_back(total);
                                stop = true;
                            }),
                 Cancelled);
    EXPECT_EQ(totals_, std::vector<std::uint64_t>{4 * kMiB});
}

TEST_F(Sha256FileTest, OneHasherServesFileAfterFileAlsoAfterAnAbandonedOne) {
    const std::string large = Varied(9 * kMiB);
    test::WriteTestFile(dir_ / L"large.pak", large);
    test::WriteTestFile(dir_ / L"small.pak", "small");
    FileHasher hasher;
    EXPECT_EQ(hasher.HashFile(dir_ / L"large.pak"), Sha256Hex(large));
    std::atomic<bool> stop{false};
    EXPECT_THROW(hasher.HashFile(dir_ / L"large.pak", &stop, [&](std::uint64_t) { stop = true; }), Cancelled);
    EXPECT_THROW(hasher.HashFile(dir_ / L"missing.pak"), std::runtime_error);
    // Neither the block read before the stop nor anything else of those files reaches this digest.
    EXPECT_EQ(hasher.HashFile(dir_ / L"small.pak"), Sha256Hex("small"));
    EXPECT_EQ(hasher.HashFile(dir_ / L"large.pak"), Sha256Hex(large));
}

TEST_F(Sha256FileTest, FilesAroundTheReadBlocksMatchCngThroughEitherBuffer) {
    std::vector<unsigned char> odd(1000), transfer(kMiB);
    for (const std::uint64_t size : {4 * kMiB - 1, 4 * kMiB, 4 * kMiB + 1, 8 * kMiB + 65}) {
        const std::string content = Varied(size);
        test::WriteTestFile(dir_ / L"blob", content);
        const std::string reference = CngDigest(content);
        EXPECT_EQ(Sha256File(dir_ / L"blob"), reference) << size;
        EXPECT_EQ(FileHasher(odd).HashFile(dir_ / L"blob"), reference) << size;
        EXPECT_EQ(FileHasher(transfer).HashFile(dir_ / L"blob"), reference) << size;
    }
}

std::string FailureOf(const std::wstring& path) {
    return test::FailureOf([&] { Sha256File(path); });
}

TEST_F(Sha256FileTest, FileThatCannotBeOpenedNamesThePathAndTheCode) {
    test::WriteTestFile(dir_ / L"being-written.bin", "partial");
    // Our open shares reading only, so a file that someone is writing is not hashed half-way.
    UniqueHandle writer(CreateFileW((dir_ / L"being-written.bin").c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.valid());
    const struct {
        std::wstring name;
        const char* code;
    } cases[] = {
        {L"缺少.bin", "（2）"},
        {L"being-written.bin", "（32）"},
    };
    for (const auto& c : cases) {
        const std::string path = WideToUtf8(dir_ / c.name);
        const std::string message = FailureOf(dir_ / c.name);
        EXPECT_EQ(message.rfind("无法读取 " + path + "：", 0), 0u) << message;
        EXPECT_TRUE(message.ends_with(c.code)) << message;
    }
    EXPECT_EQ(FailureOf(dir_.path()).rfind("无法读取 " + WideToUtf8(dir_.path()) + "：", 0), 0u);
}

TEST(Sha256File, ReadFailureNamesThePath) {
    // A read that fails after a successful open: the writing end of a pipe goes away mid-stream. (Wine
    // ignores byte-range locks on reads, so a locked file would not do.)
    const std::wstring path = L"\\\\.\\pipe\\velkar-hash-" + std::to_wstring(GetCurrentProcessId());
    UniqueHandle server(
        CreateNamedPipeW(path.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr));
    ASSERT_TRUE(server.valid());
    std::string message;
    std::thread hashing([&] { message = FailureOf(path); });
    const bool connected = ConnectNamedPipe(server.get(), nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
    DWORD written = 0;
    EXPECT_TRUE(connected && WriteFile(server.get(), "abc", 3, &written, nullptr));
    server.reset();
    hashing.join();
    EXPECT_EQ(message.rfind("读取失败 " + WideToUtf8(path) + "：", 0), 0u) << message;
    EXPECT_TRUE(message.ends_with("（109）")) << message;
}

}  // namespace
}  // namespace vk
