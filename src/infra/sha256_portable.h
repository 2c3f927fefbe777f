#pragma once
// SHA-256 digests as the system writes them: 64 lower-case hexadecimal characters, compared byte
// for byte. One streaming interface, two back-ends: the program's own code in the launcher
// (sha256_builtin.cpp), OpenSSL in the publisher tools.
#include <cstddef>
#include <memory>
#include <string>

namespace vk {

// An incremental hash: created ready for data, fed byte spans of any length any number of times,
// finished; after Finish it is ready for the next data, so one hasher serves any number of digests
// one after the other. Every digest the launcher computes, of a file, a download or a document,
// goes through one.
class Sha256Hasher {
public:
    Sha256Hasher();
    ~Sha256Hasher();
    Sha256Hasher(const Sha256Hasher&) = delete;
    Sha256Hasher& operator=(const Sha256Hasher&) = delete;

    void Add(const void* bytes, std::size_t length);
    // The digest text of everything added since the hasher was made or last finished.
    std::string Finish();

private:
    struct Backend;  // the platform's hash handles, released on destruction
    std::unique_ptr<Backend> backend_;
};

// The text of a 32-byte digest: high nibble first, lower case.
std::string DigestText(const unsigned char (&digest)[32]);

// The digest text of a byte string.
std::string Sha256Hex(const std::string& bytes);

}  // namespace vk
