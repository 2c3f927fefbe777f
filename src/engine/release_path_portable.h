#pragma once
// The rules every release-relative path obeys before it may become a file-system path: it stays
// inside the install folder, out of the launcher's metadata folder and out of the game's Saved
// folders, also under the other names Windows gives a folder (a name with a dot or blank at its end,
// a short name such as VKLAUN~1), and it names no device.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vk {

// The first rule a path breaks, in this order (a path may break several).
enum class ReleasePathFault {
    None,
    UnderSaved,        // a segment is "saved" in any letter case
    InMetadataFolder,  // it starts with ".vklauncher" in any letter case
    Backslash,
    Colon,
    NotPlainRelative,  // empty, absolute, or with an empty, "." or ".." segment
    TrailingDotOrBlank,  // a segment ends in "." or " ", which Windows drops ("Saved." is "Saved")
    DeviceName,          // a segment names a device ("CON", "nul.txt", "COM1"), whatever its extension
    ShortNameForm,       // a segment has the form of a short name ("VKLAUN~1"), which may stand for another
};
ReleasePathFault FaultOfReleasePath(const std::string& path);

// Throws a failure "Release list has an invalid path: <path>" when the path breaks a rule.
void CheckReleasePath(const std::string& path);

// True when a segment of the path is "saved" in any letter case.
bool IsUnderSaved(std::string_view path);

// A copy with A-Z turned into a-z; every other byte, UTF-8 included, is unchanged.
std::string ToLowerAscii(const std::string& text);

// Whether the two texts are equal with A-Z and a-z taken as the same letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view suffix);

// Hashing and comparing with ASCII letter case ignored, so that containers of release paths need no
// lower-case copies of them.
struct IgnoringAsciiCaseHash {
    std::size_t operator()(std::string_view text) const;
};
struct IgnoringAsciiCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return EqualIgnoringAsciiCase(a, b); }
};

// Release paths compared with ASCII letter case ignored. They hold views: the texts must outlive them.
using ReleasePathSet = std::unordered_set<std::string_view, IgnoringAsciiCaseHash, IgnoringAsciiCaseEqual>;
template <class Value>
using ReleasePathMap = std::unordered_map<std::string_view, Value, IgnoringAsciiCaseHash, IgnoringAsciiCaseEqual>;

// True for exactly 64 characters from 0-9 and a-f.
bool IsSha256Hex(const std::string& text);

// True for exactly 64 characters from 0-9, a-f and A-F: text that is safe as a file name.
bool IsHexDigest(const std::string& text);

}  // namespace vk
