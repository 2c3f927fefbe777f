#include "infra/sha256.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "infra/errors.h"
#include "infra/handles.h"
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

TEST(Sha256Hex, PublishedTestVectors) {
    const struct {
        std::string input;
        const char* digest;
    } vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(1, '\0'), "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d"},
    };
    for (const auto& v : vectors) EXPECT_EQ(Sha256Hex(v.input), v.digest) << "input of " << v.input.size() << " bytes";
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
