#include "engine/chunk_index_portable.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "engine/chunk_indexer_portable.h"
#include "infra/sha256_portable.h"
#include "support/generated_content.h"

namespace vk {
namespace {

using test::GeneratedBytes;

ChunkIndex IndexOf(const std::string& bytes, std::size_t pieceSize) {
    ChunkIndexer indexer;
    for (std::size_t offset = 0; offset < bytes.size(); offset += pieceSize) {
        indexer.Add(bytes.data() + offset, std::min(pieceSize, bytes.size() - offset));
    }
    return indexer.Finish();
}

std::string Hex(const std::string& bytes) {
    std::string text;
    for (const char byte : bytes) {
        static constexpr char kHex[] = "0123456789abcdef";
        text += kHex[static_cast<unsigned char>(byte) >> 4];
        text += kHex[static_cast<unsigned char>(byte) & 15];
    }
    return text;
}

TEST(ChunkIndexer, IndexesEachChunkAndTheWholeFileHoweverTheBytesArrive) {
    const std::string bytes = GeneratedBytes(300'000, 5);
    const ChunkIndex index = IndexOf(bytes, bytes.size());
    const std::span<const unsigned char> view(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    const std::vector<std::uint32_t> lengths = ChunkLengths(view);
    ASSERT_EQ(index.chunks.size(), lengths.size());
    std::size_t offset = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        EXPECT_EQ(index.chunks[i].length, lengths[i]);
        EXPECT_EQ(index.chunks[i].sha256, Sha256Hex(bytes.substr(offset, lengths[i])));
        offset += lengths[i];
    }
    EXPECT_EQ(index.fileSize, bytes.size());
    EXPECT_EQ(index.fileSha256, Sha256Hex(bytes));
    EXPECT_EQ(index.chunking, ChunkingParameters());
    EXPECT_EQ(IndexOf(bytes, 1000), index);
    EXPECT_EQ(IndexOf(bytes, 7), index);

    // One indexer serves file after file.
    ChunkIndexer indexer;
    indexer.Add("first file", 10);
    indexer.Finish();
    indexer.Add(bytes.data(), bytes.size());
    EXPECT_EQ(indexer.Finish(), index);
    EXPECT_EQ(indexer.Finish(), IndexOf("", 1));
}

// Every program writes and reads these exact bytes.
TEST(ChunkIndexFormat, WritesTheDocumentedLayout) {
    const ChunkIndex index = IndexOf("abc", 3);
    const std::string abc = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    EXPECT_EQ(Hex(ChunkIndexBytes(index)), Hex("VKCI") + "01000000" + "00100000" + "00400000" + "00000100" +
                                               "0300000000000000" + abc + "01000000" + "03000000" + abc);
    EXPECT_EQ(Hex(ChunkIndexBytes(IndexOf("", 1))).size(), 2u * 64);
}

TEST(ChunkIndexFormat, ReadsBackWhatItWrites) {
    for (const std::size_t size : {0u, 1u, 70'000u, 1u << 20}) {
        const ChunkIndex index = IndexOf(GeneratedBytes(size, size), 4096);
        const std::string bytes = ChunkIndexBytes(index);
        EXPECT_EQ(bytes.size(), 64 + 36 * index.chunks.size());
        EXPECT_EQ(ParseChunkIndex(bytes), index) << size;
    }
}

TEST(ChunkIndexFormat, RefusesMalformedIndexesSayingWhy) {
    const std::string good = ChunkIndexBytes(IndexOf(GeneratedBytes(200'000, 3), 4096));
    const auto changed = [&](std::size_t offset, std::string bytes) {
        std::string copy = good;
        return copy.replace(offset, bytes.size(), bytes);
    };
    const struct {
        const char* name;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"empty", "", "not a chunk index"},
        {"another format", changed(0, "VKCJ"), "not a chunk index"},
        {"header cut short", good.substr(0, 40), "cut short in its header (40 bytes)"},
        {"last chunk cut short", good.substr(0, good.size() - 1), "the index has"},
        {"a byte too many", good + '\0', "the index has"},
        {"version 2", changed(4, std::string("\2\0\0\0", 4)), "format version 2 is not one this program reads (1)"},
        {"version 0", changed(4, std::string(4, '\0')), "format version 0"},
        {"minimum above average", changed(8, std::string("\0\0\1\0", 4)), "cut no file"},
        {"file size one byte more", changed(20, std::string(1, static_cast<char>(good[20] + 1))),
         "the chunks add up to 200000 bytes, the file has 200001"},
        {"first chunk longer than the maximum", changed(64, std::string("\0\0\2\0", 4)), "chunk 0 has 131072 bytes"},
        {"first chunk shorter than the minimum", changed(64, std::string("\1\0\0\0", 4)), "chunk 0 has 1 bytes"},
        {"first chunk empty", changed(64, std::string(4, '\0')), "chunk 0 has 0 bytes"},
    };
    for (const auto& c : cases) {
        try {
            ParseChunkIndex(c.bytes);
            ADD_FAILURE() << c.name << ": read";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << c.name << ": " << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("chunk index: ", 0), 0u) << c.name;
        }
    }
}

}  // namespace
}  // namespace vk
