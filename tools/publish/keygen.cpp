#include "keygen.h"

#include <stdexcept>
#include <system_error>

#include "file_io.h"
#include "signing.h"

namespace vk::publish {
namespace {

// Created exclusively, so a file that appeared meanwhile is not overwritten either; readable by
// its owner only when private. A file left half written is removed again.
void WriteKeyFile(const fs::path& path, const std::string& pem, bool isPrivate) {
    bool created = false;
    try {
        File file = File::CreateNew(path);
        created = true;
        if (isPrivate) fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        file.Write(pem.data(), pem.size());
        file.Finish();
    } catch (...) {
        std::error_code ignored;
        if (created) fs::remove(path, ignored);
        throw;
    }
}

}  // namespace

void WriteNewKeyPair(const KeygenOptions& options) {
    for (const fs::path& path : {options.privateKey, options.publicKey}) {
        if (fs::exists(path)) {
            throw std::runtime_error(Utf8Of(path) + " already exists; a key file is never overwritten");
        }
    }
    const KeyPair pair = GenerateSigningKey();
    WriteKeyFile(options.privateKey, pair.privatePem, true);
    try {
        WriteKeyFile(options.publicKey, pair.publicPem, false);
    } catch (...) {
        std::error_code ignored;
        fs::remove(options.privateKey, ignored);
        throw;
    }
}

}  // namespace vk::publish
