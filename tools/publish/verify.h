#pragma once
// Checks a store the way a launcher will use it: the signed manifest of one channel, the
// release file list it vouches for, and every blob the release needs.
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"

namespace vk::publish {

struct VerifyReport {
    std::string buildId;
    std::uint64_t blobsChecked = 0;
    std::vector<std::string> problems;  // empty when the store is good
};

// Throws only when the public key cannot be read; everything wrong in the store is a problem.
VerifyReport VerifyStore(const VerifyOptions& options);

}  // namespace vk::publish
