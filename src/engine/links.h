#pragma once
// Links (reparse points: symbolic links, junctions, mount points) inside an installation. Another
// program or account that can write a shared game folder can put one where the launcher writes or
// deletes, so the engine never follows one below the install folder: it refuses to write through
// it and leaves what lies behind it alone. Links above the install folder are the player's choice.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_set>

namespace vk {

// The attributes the engine acts on for an entry: `reported` is what the file system gave for
// `path` (INVALID_FILE_ATTRIBUTES when unreadable). Every link test goes through this hook so that
// tests can present links that their platform cannot create; by default it returns `reported`.
using ScanAttributesHook = std::uint32_t (*)(const std::wstring& path, std::uint32_t reported);
extern ScanAttributesHook scanAttributes;

// Whether the entry with these reported attributes is a link.
bool IsLink(const std::wstring& path, std::uint32_t reported);

// The first of root\a, root\a\b, ... root\relative that is a link, relative to root; empty when none
// is (or relative is empty).
std::wstring LinkedComponent(const std::wstring& root, const std::wstring& relative);

// The failure that asks the player to remove the link at `relative` (a path below the install folder).
std::runtime_error LinkRefusal(const std::wstring& relative);

// Creates root\relative folder by folder, refusing a link at any level below root. Folders already
// found to be real in this placer's lifetime are not asked about again, so placing many files in a
// few folders costs a few queries.
class FolderPlacer {
public:
    explicit FolderPlacer(std::wstring root) : root_(std::move(root)) {}

    void Create(const std::wstring& relative);

private:
    const std::wstring root_;
    std::unordered_set<std::wstring> known_;
};

}  // namespace vk
