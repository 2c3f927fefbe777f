#pragma once
// The game folder as a release sees it: every regular file under it, by release path.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace vk::publish {

struct GameFile {
    std::string path;  // release path: relative, forward slashes, UTF-8
    std::filesystem::path source;
    std::uint64_t size = 0;
};

struct GameScan {
    std::vector<GameFile> files;        // sorted by release path, byte order
    std::vector<std::string> problems;  // one line per offending file: "<path>: <why>"
};

// Reads the folder tree. Files the launcher would refuse, or could not install, are reported
// in problems rather than thrown, so that the publisher sees all of them at once.
GameScan ScanGameFolder(const std::filesystem::path& root);

}  // namespace vk::publish
