#pragma once
// The rules every release-relative path obeys before it may become a file-system path: it stays
// inside the install folder, out of the launcher's metadata folder and out of the game's Saved
// folders.
#include <string>

namespace vk {

// The first rule a path breaks, in this order (a path may break several).
enum class ReleasePathFault {
    None,
    UnderSaved,        // a segment is "saved" in any letter case
    InMetadataFolder,  // it starts with ".vklauncher" in any letter case
    Backslash,
    Colon,
    NotPlainRelative,  // empty, absolute, or with an empty, "." or ".." segment
};
ReleasePathFault FaultOfReleasePath(const std::string& path);

// Throws a failure "Release list has an invalid path: <path>" when the path breaks a rule.
void CheckReleasePath(const std::string& path);

// True when a segment of the path is "saved" in any letter case.
bool IsUnderSaved(const std::string& path);

// A copy with A-Z turned into a-z; every other byte, UTF-8 included, is unchanged.
std::string ToLowerAscii(const std::string& text);

// True for exactly 64 characters from 0-9 and a-f.
bool IsSha256Hex(const std::string& text);

}  // namespace vk
