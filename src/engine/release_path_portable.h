#pragma once
// The rules every release-relative path obeys before it may become a file-system path: it stays
// inside the install folder, out of the launcher's metadata folder and out of the game's Saved
// folders, also under the other names Windows gives a folder (a name with a dot or blank at its end,
// a short name such as VKLAUN~1), and it names no device.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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

// Hashing with ASCII letter case ignored, so that tables of release paths need no lower-case copies.
struct IgnoringAsciiCaseHash {
    std::size_t operator()(std::string_view text) const;
};

// Release paths, each with a value, compared with ASCII letter case ignored: one open-addressing
// table, so that a hundred thousand paths cost one allocation, not one each. It holds views: the
// texts must outlive it and stay where they are.
template <class Value>
class ReleasePathMap {
public:
    // Room for `count` paths without growing.
    void Reserve(std::size_t count) {
        if (count * 2 > slots_.size()) Rehash(count * 2);
    }

    // The value under the path: the one there already (second: false), or `value`, added (true).
    std::pair<Value*, bool> Insert(std::string_view path, Value value = {}) {
        if ((size_ + 1) * 2 > slots_.size()) Rehash(std::max<std::size_t>(slots_.size() * 2, 16));
        Slot& slot = slots_[SlotOf(path)];
        if (slot.used) return {&slot.value, false};
        slot = {path, std::move(value), true};
        ++size_;
        return {&slot.value, true};
    }

    const Value* Find(std::string_view path) const {
        if (slots_.empty()) return nullptr;
        const Slot& slot = slots_[SlotOf(path)];
        return slot.used ? &slot.value : nullptr;
    }

    bool Contains(std::string_view path) const { return Find(path) != nullptr; }

private:
    struct Slot {
        std::string_view path;
        Value value{};
        bool used = false;
    };

    // The slot holding the path, or the free one where it belongs (probing on from its hash).
    std::size_t SlotOf(std::string_view path) const {
        for (std::size_t i = IgnoringAsciiCaseHash{}(path) % slots_.size();; i = (i + 1) % slots_.size()) {
            if (!slots_[i].used || EqualIgnoringAsciiCase(slots_[i].path, path)) return i;
        }
    }

    void Rehash(std::size_t count) {
        std::vector<Slot> old = std::exchange(slots_, std::vector<Slot>(count));
        for (Slot& slot : old) {
            if (slot.used) slots_[SlotOf(slot.path)] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;  // never more than half full
    std::size_t size_ = 0;
};

struct NoValue {};
using ReleasePathSet = ReleasePathMap<NoValue>;

// True for exactly 64 characters from 0-9 and a-f.
bool IsSha256Hex(const std::string& text);

// True for exactly 64 characters from 0-9, a-f and A-F: text that is safe as a file name.
bool IsHexDigest(const std::string& text);

}  // namespace vk
