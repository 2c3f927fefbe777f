// The launcher's back-end of the hashing interface: SHA-256 computed by the program itself, on the
// processor's SHA extensions where it has them. Wine's CNG and older Windows versions' use neither,
// and every byte the launcher installs or checks is hashed.
#include "infra/sha256_portable.h"
#include "infra/sha256_stream_portable.h"

namespace vk {

struct Sha256Hasher::Backend {
    Sha256Stream stream{Sha256BlocksOf(ChosenSha256Implementation())};
};

Sha256Hasher::Sha256Hasher() : backend_(std::make_unique<Backend>()) {}

Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Add(const void* bytes, std::size_t length) { backend_->stream.Add(bytes, length); }

std::string Sha256Hasher::Finish() {
    unsigned char digest[32];
    backend_->stream.Finish(digest);
    return DigestText(digest);
}

}  // namespace vk
