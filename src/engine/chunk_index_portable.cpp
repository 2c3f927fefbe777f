#include "engine/chunk_index_portable.h"

#include <stdexcept>

#include "infra/sha256_portable.h"

namespace vk {
namespace {

constexpr std::string_view kMagic = "VKCI";
constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kEntrySize = 36;

void PutUInt(std::string& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i)));
}

int HexValue(char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1; }

void PutDigest(std::string& bytes, const std::string& digestText) {
    if (digestText.size() != 64) throw std::invalid_argument("chunk index: a digest is not digest text");
    for (std::size_t i = 0; i < 64; i += 2) {
        const int high = HexValue(digestText[i]);
        const int low = HexValue(digestText[i + 1]);
        if (high < 0 || low < 0) throw std::invalid_argument("chunk index: a digest is not digest text");
        bytes.push_back(static_cast<char>(high * 16 + low));
    }
}

[[noreturn]] void Malformed(const std::string& what) { throw std::runtime_error("chunk index: " + what); }

// Reads the fixed-size fields front to back; the caller has checked that they are there.
class Fields {
public:
    explicit Fields(std::string_view bytes) : bytes_(bytes) {}

    std::uint64_t UInt(int size) {
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) value |= std::uint64_t{static_cast<unsigned char>(bytes_[offset_++])} << (8 * i);
        return value;
    }
    std::uint32_t UInt32() { return static_cast<std::uint32_t>(UInt(4)); }
    std::string Digest() {
        unsigned char digest[32];
        for (unsigned char& byte : digest) byte = static_cast<unsigned char>(bytes_[offset_++]);
        return DigestText(digest);
    }

private:
    std::string_view bytes_;
    std::size_t offset_ = 0;
};

void CheckParameters(const ChunkingParameters& chunking) {
    if (chunking.minimum == 0 || chunking.minimum > chunking.average || chunking.average > chunking.maximum) {
        Malformed("chunk lengths " + std::to_string(chunking.minimum) + ", " + std::to_string(chunking.average) + ", " +
                  std::to_string(chunking.maximum) + " (minimum, average, maximum) cut no file");
    }
}

void CheckLengths(const ChunkIndex& index) {
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < index.chunks.size(); ++i) {
        const std::uint32_t length = index.chunks[i].length;
        const bool last = i + 1 == index.chunks.size();
        if (length == 0 || length > index.chunking.maximum || (!last && length < index.chunking.minimum)) {
            Malformed("chunk " + std::to_string(i) + " has " + std::to_string(length) +
                      " bytes, outside the chunk lengths it names");
        }
        total += length;
    }
    if (total != index.fileSize) {
        Malformed("the chunks add up to " + std::to_string(total) + " bytes, the file has " +
                  std::to_string(index.fileSize));
    }
}

}  // namespace

std::string ChunkIndexBytes(const ChunkIndex& index) {
    std::string bytes(kMagic);
    bytes.reserve(kHeaderSize + index.chunks.size() * kEntrySize);
    PutUInt(bytes, kChunkIndexVersion, 4);
    PutUInt(bytes, index.chunking.minimum, 4);
    PutUInt(bytes, index.chunking.average, 4);
    PutUInt(bytes, index.chunking.maximum, 4);
    PutUInt(bytes, index.fileSize, 8);
    PutDigest(bytes, index.fileSha256);
    PutUInt(bytes, index.chunks.size(), 4);
    for (const IndexedChunk& chunk : index.chunks) {
        PutUInt(bytes, chunk.length, 4);
        PutDigest(bytes, chunk.sha256);
    }
    return bytes;
}

ChunkIndex ParseChunkIndex(std::string_view bytes) {
    if (bytes.size() < kMagic.size() || bytes.substr(0, kMagic.size()) != kMagic) Malformed("not a chunk index");
    if (bytes.size() < kHeaderSize) Malformed("cut short in its header (" + std::to_string(bytes.size()) + " bytes)");
    Fields fields(bytes.substr(kMagic.size()));
    const std::uint32_t version = fields.UInt32();
    if (version != kChunkIndexVersion) {
        Malformed("format version " + std::to_string(version) + " is not one this program reads (" +
                  std::to_string(kChunkIndexVersion) + ")");
    }
    ChunkIndex index;
    index.chunking = {fields.UInt32(), fields.UInt32(), fields.UInt32()};
    CheckParameters(index.chunking);
    index.fileSize = fields.UInt(8);
    index.fileSha256 = fields.Digest();
    const std::uint64_t count = fields.UInt32();
    if (bytes.size() != kHeaderSize + count * kEntrySize) {
        Malformed(std::to_string(count) + " chunks take " + std::to_string(kHeaderSize + count * kEntrySize) +
                  " bytes, the index has " + std::to_string(bytes.size()));
    }
    index.chunks.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        IndexedChunk chunk;
        chunk.length = fields.UInt32();
        chunk.sha256 = fields.Digest();
        index.chunks.push_back(std::move(chunk));
    }
    CheckLengths(index);
    return index;
}

}  // namespace vk
