#include "infra/sha256_stream_portable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "infra/sha256_blocks_portable.h"
#include "infra/sha256_portable.h"

namespace vk {
namespace {

// The implementations this processor runs: the portable one always, the SHA extensions where present.
std::vector<Sha256Implementation> Runnable() {
    std::vector<Sha256Implementation> implementations = {Sha256Implementation::Portable};
    if (ProcessorHasShaExtensions()) implementations.push_back(Sha256Implementation::ShaExtensions);
    return implementations;
}

// The digest text of the bytes, fed to the stream in pieces that end at the given offsets.
std::string DigestInPieces(Sha256Implementation implementation, const std::string& bytes,
                           const std::vector<std::size_t>& cuts = {}) {
    Sha256Stream stream(Sha256BlocksOf(implementation));
    std::size_t done = 0;
    for (std::size_t cut : cuts) {
        stream.Add(bytes.data() + done, cut - done);
        done = cut;
    }
    stream.Add(bytes.data() + done, bytes.size() - done);
    unsigned char digest[32];
    stream.Finish(digest);
    return DigestText(digest);
}

// Bytes that differ from position to position, so that a byte hashed twice or skipped shows.
std::string Varied(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 2463534242u;
    for (auto& c : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        c = static_cast<char>(state);
    }
    return bytes;
}

// The published vectors, through each implementation and through the hasher of the tree (the
// program's own in the launcher's, OpenSSL in the tools').
TEST(Sha256Stream, PublishedVectorsInEveryImplementation) {
    const struct {
        std::string input;
        const char* digest;
    } vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrst"
         "nopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(1, '\0'), "6e340b9cffb37a989ca544e6bb780a2c78901d3fb33738768511a30617afa01d"},
        {std::string(1, '\xbd'), "68325720aabd7c82f30f554b313d0570c95accbb7dc4b5aae11204c08ffe732b"},
        {std::string("\xc9\x8c\x8e\x55", 4), "7abc22c0ae5af26ce93dbb94433a0e0b2e119d014f8e7f65bd56c61ccccd9504"},
        {std::string(55, '\0'), "02779466cdec163811d078815c633f21901413081449002f24aa3e80f0b88ef7"},
        {std::string(56, '\0'), "d4817aa5497628e7c77e6b606107042bbba3130888c5f47a375e6179be789fbb"},
        {std::string(57, '\0'), "65a16cb7861335d5ace3c60718b5052e44660726da4cd13bb745381b235a1785"},
        {std::string(64, '\0'), "f5a5fd42d16a20302798ef6ed309979b43003d2320d9f0e8ea9831a92759fb4b"},
        {std::string(1000, '\0'), "541b3e9daa09b20bf85fa273e5cbd3e80185aa4ec298e765db87742b70138a53"},
        {std::string(1000, 'A'), "c2e686823489ced2017f6059b8b239318b6364f6dcd835d0a519105a1eadd6e4"},
        {std::string(1005, 'U'), "f4d62ddec0f3dd90ea1380fa16a5ff8dc4c54b21740650f24afc4120903552b0"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(Sha256Hex(v.input), v.digest) << v.input.size() << " bytes";
        for (Sha256Implementation implementation : Runnable()) {
            EXPECT_EQ(DigestInPieces(implementation, v.input), v.digest)
                << NameOf(implementation) << ", " << v.input.size() << " bytes";
        }
    }
}

TEST(Sha256Stream, ImplementationsAgreeOnEveryLengthAndEveryCut) {
    const std::string bytes = Varied(300);
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        const std::string input = bytes.substr(0, length);
        // The library the tree links (OpenSSL for the tools, this program's own for the launcher).
        const std::string whole = Sha256Hex(input);
        for (Sha256Implementation implementation : Runnable()) {
            EXPECT_EQ(DigestInPieces(implementation, input), whole) << NameOf(implementation) << ", " << length;
            // Pieces that end on, before and after the block boundaries and the padding's limit.
            for (std::size_t cut : {1, 55, 56, 63, 64, 65, 127, 128, 129, 200}) {
                if (cut > length) continue;
                EXPECT_EQ(DigestInPieces(implementation, input, {cut}), whole)
                    << NameOf(implementation) << ", " << length << " cut at " << cut;
            }
        }
    }
    // Byte by byte, and in pieces that straddle many blocks.
    const std::string large = Varied(100000);
    std::vector<std::size_t> bytewise, uneven;
    for (std::size_t i = 1; i < 1000; ++i) bytewise.push_back(i);
    for (std::size_t i = 7; i < large.size(); i += 7 * (i % 13) + 1) uneven.push_back(i);
    for (Sha256Implementation implementation : Runnable()) {
        EXPECT_EQ(DigestInPieces(implementation, large, bytewise), Sha256Hex(large)) << NameOf(implementation);
        EXPECT_EQ(DigestInPieces(implementation, large, uneven), Sha256Hex(large)) << NameOf(implementation);
    }
}

TEST(Sha256Stream, FinishingStartsTheNextDigest) {
    for (Sha256Implementation implementation : Runnable()) {
        Sha256Stream stream(Sha256BlocksOf(implementation));
        const std::string first = Varied(1000);
        unsigned char digest[32];
        stream.Add(first.data(), first.size());
        stream.Finish(digest);
        EXPECT_EQ(DigestText(digest), Sha256Hex(first)) << NameOf(implementation);
        stream.Add("abc", 3);
        stream.Finish(digest);
        EXPECT_EQ(DigestText(digest), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        stream.Finish(digest);
        EXPECT_EQ(DigestText(digest), Sha256Hex("")) << NameOf(implementation);
    }
}

// The processor's own report, where the system publishes it (Linux, and Wine's view of it).
std::string CpuFlags() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("flags", 0) == 0) return line + " ";
    }
    return "";
}

TEST(Sha256Dispatch, TheExtensionsAreChosenExactlyWhereTheProcessorHasThem) {
    const Sha256Implementation chosen = ChosenSha256Implementation();
    EXPECT_EQ(chosen,
              ProcessorHasShaExtensions() ? Sha256Implementation::ShaExtensions : Sha256Implementation::Portable);
    RecordProperty("sha256_implementation", NameOf(chosen));
    std::cout << "SHA-256 implementation chosen: " << NameOf(chosen) << "\n";
    const std::string flags = CpuFlags();
    if (flags.empty()) {
        std::cout << "/proc/cpuinfo is not readable here: CPUID's answer is not cross-checked\n";
        return;
    }
    const bool listed = flags.find(" sha_ni ") != std::string::npos && flags.find(" ssse3 ") != std::string::npos &&
                        flags.find(" sse4_1 ") != std::string::npos;
    EXPECT_EQ(ProcessorHasShaExtensions(), listed) << flags;
}

}  // namespace
}  // namespace vk
