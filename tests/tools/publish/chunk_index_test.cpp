// The chunk indexes the publisher writes for large files: in the release, in verify and in gc.
#include <gtest/gtest.h>

#include <set>

#include "chunk_index_check.h"
#include "engine/chunk_index_portable.h"
#include "engine/chunk_indexer_portable.h"
#include "gc.h"
#include "infra/sha256_portable.h"
#include "release.h"
#include "release_catalog.h"
#include "store.h"
#include "support.h"
#include "support/generated_content.h"
#include "verify.h"

namespace vk::publish {
namespace {

using vk::test::GeneratedBytes;
using vk::test::IndexOf;

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

std::string Joined(const std::vector<std::string>& problems) {
    std::string text;
    for (const std::string& problem : problems) text += problem + "\n";
    return text;
}

// A game with files on both sides of the 1 MiB from which files are indexed.
class ChunkIndexTest : public ::testing::Test {
protected:
    void SetUp() override { Publish(store, "b1", kPak); }

    void Publish(const fs::path& target, const std::string& build, const std::string& pak) const {
        test::PublishFiles(target, "live", build,
                           {{"Velkar.exe", "the game"},
                            {"Paks/big.pak", pak},
                            {"Paks/exactly.pak", kExactly},
                            {"Paks/below.pak", kBelow}},
                           [](ReleaseOptions& options) { options.published = "2026-12-10T11:46:17Z"; });
    }

    ReleaseList List(const std::string& build) const {
        std::vector<std::string> problems;
        ReleaseList list = ReadReleaseList(ReadBytes(store / ("releases/" + build + ".json")), problems);
        EXPECT_TRUE(problems.empty()) << Joined(problems);
        return list;
    }

    ReleaseFile Entry(const ReleaseList& list, const std::string& path) const {
        for (const ReleaseFile& file : list.files) {
            if (file.path == path) return file;
        }
        throw std::runtime_error("no entry " + path);
    }

    fs::path Blob(const std::string& sha256) const { return store / ("blobs/" + sha256); }

    const std::string kPak = GeneratedBytes(3 << 20, 1);
    const std::string kExactly = GeneratedBytes(1 << 20, 2);
    const std::string kBelow = GeneratedBytes((1 << 20) - 1, 3);
    TempDir work;
    const fs::path store = work / "store";
};

TEST_F(ChunkIndexTest, FilesOfAtLeastOneMebibyteNameTheirIndexAStoredBlob) {
    const ReleaseList list = List("b1");
    EXPECT_FALSE(Entry(list, "Velkar.exe").chunks);
    EXPECT_FALSE(Entry(list, "Paks/below.pak").chunks);
    for (const auto& [path, content] : {std::pair{"Paks/big.pak", &kPak}, std::pair{"Paks/exactly.pak", &kExactly}}) {
        const ReleaseFile& file = Entry(list, path);
        ASSERT_TRUE(file.chunks) << path;
        const std::string bytes = ReadBytes(Blob(file.chunks->sha256));
        EXPECT_EQ(bytes.size(), file.chunks->size) << path;
        EXPECT_EQ(Sha256Hex(bytes), file.chunks->sha256) << path;
        const ChunkIndex index = ParseChunkIndex(bytes);
        EXPECT_EQ(index, IndexOf(*content)) << path;
        EXPECT_EQ(index.fileSha256, file.sha256) << path;
        EXPECT_GT(index.chunks.size(), 20u) << path;
    }
    EXPECT_NE(ReadBytes(store / "releases/b1.json").find("\"chunks\": {\"sha256\": \""), std::string::npos);
}

TEST_F(ChunkIndexTest, AnotherStoreGetsTheSameBytes) {
    const fs::path other = work / "other";
    Publish(other, "b1", kPak);
    EXPECT_EQ(ReadBytes(other / "releases/b1.json"), ReadBytes(store / "releases/b1.json"));
    const ReleaseFile file = Entry(List("b1"), "Paks/big.pak");
    EXPECT_EQ(ReadBytes(other / ("blobs/" + file.chunks->sha256)), ReadBytes(Blob(file.chunks->sha256)));
}

// A release published by a tool that wrote no indexes is published again as it stands.
TEST_F(ChunkIndexTest, AListWithoutIndexesIsKeptWhenItsReleaseIsPublishedAgain) {
    const fs::path path = store / "releases/b1.json";
    std::string old = ReadBytes(path);
    for (std::size_t at; (at = old.find(", \"chunks\": {")) != std::string::npos;) {
        old.erase(at, old.find('}', at) + 1 - at);
    }
    WriteBytes(path, old);
    test::PublishFiles(store, "beta", "b1",
                       {{"Velkar.exe", "the game"},
                        {"Paks/big.pak", kPak},
                        {"Paks/exactly.pak", kExactly},
                        {"Paks/below.pak", kBelow}});
    EXPECT_EQ(ReadBytes(path), old);
    const VerifyReport report = VerifyStore({store, "beta", test::Keys().publicKey});
    EXPECT_TRUE(report.problems.empty()) << Joined(report.problems);
}

TEST_F(ChunkIndexTest, VerifyChecksEachIndexAgainstItsFile) {
    const VerifyReport good = VerifyStore({store, "live", test::Keys().publicKey});
    EXPECT_TRUE(good.problems.empty()) << Joined(good.problems);
    EXPECT_EQ(good.blobsChecked, 6u);  // four files, two indexes

    // An index damaged in the store.
    const ReleaseFile big = Entry(List("b1"), "Paks/big.pak");
    std::string damaged = ReadBytes(Blob(big.chunks->sha256));
    damaged[64 + 36 + 4 + 5] ^= 1;  // in the digest of chunk 1
    WriteBytes(Blob(big.chunks->sha256), damaged);
    const std::string text = Joined(VerifyStore({store, "live", test::Keys().publicKey}).problems);
    EXPECT_NE(text.find("blobs/" + big.chunks->sha256 + ": content does not match its digest"), std::string::npos)
        << text;
    EXPECT_NE(text.find("blobs/" + big.chunks->sha256 + " (chunk index of Paks/big.pak): chunk 1 (at byte " +
                        std::to_string(IndexOf(kPak).chunks[0].length) + ") does not match the file's bytes"),
              std::string::npos)
        << text;

    // An index that matches its digest in the list but not the file: the list names it.
    ChunkIndex wrong = IndexOf(kPak);
    wrong.chunks[5].sha256 = std::string(64, 'e');
    const std::string wrongBytes = ChunkIndexBytes(wrong);
    WriteBytes(Blob(Sha256Hex(wrongBytes)), wrongBytes);
    const fs::path listPath = store / "releases/b1.json";
    std::string list = ReadBytes(listPath);
    list.replace(list.find(big.chunks->sha256), 64, Sha256Hex(wrongBytes));
    list.replace(list.find("\"size\": " + std::to_string(big.chunks->size) + "}"),
                 8 + std::to_string(big.chunks->size).size(), "\"size\": " + std::to_string(wrongBytes.size()));
    WriteBytes(listPath, list);
    const std::string wrongText = Joined(VerifyStore({store, "live", test::Keys().publicKey}).problems);
    EXPECT_NE(wrongText.find(Sha256Hex(wrongBytes) + " (chunk index of Paks/big.pak): chunk 5 (at byte "),
              std::string::npos)
        << wrongText;
}

TEST_F(ChunkIndexTest, GcKeepsTheIndexesOfKeptReleases) {
    std::string changed = kPak;
    changed[2'000'000] ^= 1;
    Publish(store, "b2", changed);
    const std::string oldIndex = Entry(List("b1"), "Paks/big.pak").chunks->sha256;
    const std::string newIndex = Entry(List("b2"), "Paks/big.pak").chunks->sha256;
    ASSERT_NE(oldIndex, newIndex);
    std::set<std::string> unreferenced;
    for (const BlobRef& blob : CollectGarbage({store, {}, false}).unreferenced) unreferenced.insert(blob.sha256);
    EXPECT_EQ(unreferenced, (std::set<std::string>{Sha256Hex(kPak), oldIndex}));
    EXPECT_TRUE(CollectGarbage({store, {"releases/b1.json"}, false}).unreferenced.empty());
    CollectGarbage({store, {}, true});
    EXPECT_TRUE(fs::exists(Blob(newIndex)));
    EXPECT_FALSE(fs::exists(Blob(oldIndex)));
    const VerifyReport report = VerifyStore({store, "live", test::Keys().publicKey});
    EXPECT_TRUE(report.problems.empty()) << Joined(report.problems);
}

// A release whose index is missing is not complete: promote and rollback refuse it as for any blob.
TEST_F(ChunkIndexTest, AReleaseNeedsItsIndexes) {
    const ReleaseList list = List("b1");
    const auto has = [&](const BlobRef& blob) { return fs::exists(Blob(blob.sha256)); };
    EXPECT_TRUE(MissingBlobs(has, list, nullptr).empty());
    const BlobRef index = *Entry(list, "Paks/big.pak").chunks;
    fs::remove(Blob(index.sha256));
    const std::vector<BlobRef> missing = MissingBlobs(has, list, nullptr);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].sha256, index.sha256);
    EXPECT_EQ(missing[0].size, index.size);
}

TEST(ChunkIndexCheck, NamesWhatIsWrongWithAStoredIndex) {
    const std::string file = GeneratedBytes(200'000, 9);
    const ChunkIndex made = IndexOf(file);
    const auto with = [&](auto change) {
        ChunkIndex index = made;
        change(index);
        return ChunkIndexBytes(index);
    };
    const struct {
        const char* name;
        std::string stored;
        std::string problem;  // empty: none
    } cases[] = {
        {"right", ChunkIndexBytes(made), ""},
        {"not an index", "{}", "x: chunk index: not a chunk index"},
        {"another file", ChunkIndexBytes(IndexOf(file.substr(1))), "x: describes another file (199999 bytes"},
        {"other parameters", with([](ChunkIndex& i) { i.chunking.average = 8192; }),
         "x: cut with chunk lengths 4096/8192/65536, launchers cut with 4096/16384/65536"},
        {"two chunk digests wrong", with([](ChunkIndex& i) {
             i.chunks[2].sha256 = i.chunks[3].sha256;
             i.chunks[4].sha256 = i.chunks[3].sha256;
         }),
         "x: chunk 2 (at byte " + std::to_string(made.chunks[0].length + made.chunks[1].length) +
             ") does not match the file's bytes (2 chunks in all)"},
        {"a boundary moved", with([](ChunkIndex& i) {
             i.chunks[1].length += 10;
             i.chunks[2].length -= 10;
         }),
         "x: chunk 1 (at byte " + std::to_string(made.chunks[0].length) +
             ") does not end where the file's content cuts it"},
        {"two chunks joined", with([](ChunkIndex& i) {
             i.chunks.back().length += i.chunks[i.chunks.size() - 2].length;
             i.chunks.erase(i.chunks.end() - 2);
         }),
         "does not end where the file's content cuts it"},
    };
    for (const auto& c : cases) {
        const std::vector<std::string> problems = ChunkIndexProblems("x", c.stored, made);
        if (c.problem.empty()) {
            EXPECT_TRUE(problems.empty()) << c.name << ": " << Joined(problems);
            continue;
        }
        ASSERT_EQ(problems.size(), 1u) << c.name;
        EXPECT_NE(problems[0].find(c.problem), std::string::npos) << c.name << ": " << problems[0];
    }
}

}  // namespace
}  // namespace vk::publish
