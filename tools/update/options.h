#pragma once
// The command line of velkar-update.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vk::headless {

struct Options {
    std::string command;  // check, update, repair, verify or status
    std::optional<std::wstring> installDir;
    std::optional<std::string> baseUrl;
    std::optional<std::string> channel;
    std::optional<std::wstring> cacheDir;
    std::optional<std::uint64_t> limitKiB;  // KiB a second; 0: no limit
    std::vector<std::string> select;
    std::optional<bool> english;
    bool quiet = false;
};

// Throws std::invalid_argument with a short reason for a command line that does not fit.
Options ParseOptions(const std::vector<std::wstring>& arguments);

extern const char kUsage[];

}  // namespace vk::headless
