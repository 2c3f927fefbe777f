#pragma once
// SHA-256 digests as the store names its blobs: 64 lower-case hexadecimal characters.
#include <string>

struct evp_md_ctx_st;

namespace vk::publish {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const char* data, std::size_t size);
    // The digest text; the hasher is spent afterwards.
    std::string FinishHex();

private:
    evp_md_ctx_st* context_;
};

std::string Sha256Hex(const std::string& bytes);

}  // namespace vk::publish
