#pragma once
// When an installation in progress saves installed.json. Every save writes the whole record, so
// saving after every few files would make installing many files cost the square of their number.
// Instead the record is saved once the files installed since the last save reach a fixed share of
// the record: the saves grow geometrically, and all of them together write a small multiple of the
// final record (at most kRecordShare times it, plus the saves at the start and the end).
// A file installed since the last save is never trusted unseen: the record of an installation in
// progress names no build, so the next update checks every file by its digest.
#include <algorithm>
#include <cstddef>

namespace vk {

class RecordSaving {
public:
    static constexpr std::size_t kFewestFilesBetweenSaves = 20;
    static constexpr std::size_t kRecordShare = 8;

    // One more file was installed and recorded; `recorded` is the record's number of entries now.
    // True when the record is to be saved.
    bool FileInstalled(std::size_t recorded) {
        if (++sinceSave_ < std::max(kFewestFilesBetweenSaves, recorded / kRecordShare)) return false;
        sinceSave_ = 0;
        return true;
    }

private:
    std::size_t sinceSave_ = 0;
};

}  // namespace vk
