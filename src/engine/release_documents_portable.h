#pragma once
// The two documents of a release in the update store, in the one model that the launcher reads
// and the publisher tools write and check: the signed channel manifest, and the release file list
// it vouches for by size and digest.
//
// Writers produce one fixed layout, so the same release always gives the same bytes. Readers apply
// the launcher's rules. A document unusable as a whole (not JSON, a required member missing or
// mistyped) throws. Everything else the launcher refuses or passes over is a finding: without a
// problem list (the launcher) a refusal throws the player's message and the rest is passed over;
// with one (the publisher's checks) every finding is added as a line and reading goes on.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "infra/json_portable.h"

namespace vk {

// The highest manifest sequence: JSON numbers are read as doubles, whole up to 2^53, and the reader
// takes whole numbers up to 9e15.
inline constexpr std::uint64_t kMaxSequence = 9'000'000'000'000'000;

// Content of the store, named by its digest.
struct BlobRef {
    std::string sha256;
    std::uint64_t size = 0;
};

// One entry of the release file list.
struct ReleaseFile {
    std::string path;    // release path with forward slashes, as written in the list
    std::uint64_t size = 0;
    std::string sha256;  // expected digest, also the blob name on the server
    std::string group;   // optional content group; empty for the base game
    // The file's chunk index (engine/chunk_index_portable.h), a blob of its own, when the publisher
    // wrote one; a launcher without it (or that reads no indexes) fetches the file whole.
    std::optional<BlobRef> chunks;
};

struct ReleaseList {
    std::string buildId;
    std::string projectVersion;
    std::string launchPath;
    std::vector<std::string> launchArgs;
    std::vector<ReleaseFile> files;
    // When the release was first published (same form as the manifest's); the publisher lists its
    // releases by it. Empty in lists written before it was introduced; the launcher does not read it.
    std::string published;
};

struct LauncherOffer {
    std::string version;
    BlobRef blob;
};

struct ChannelManifest {
    std::string channel;
    std::string release;  // path of the file list, relative to the store root
    BlobRef releaseBlob;  // size and digest of the file list
    std::string buildId;
    std::string minLauncherVersion;
    std::optional<LauncherOffer> launcher;  // absent, or unusable and so ignored
    std::optional<BlobRef> banner;
    // The publication's number in the channel, one above the one before: a launcher that has seen
    // a higher one refuses this manifest. Absent in stores published before it was introduced.
    std::optional<std::uint64_t> sequence;
    std::string published;  // UTC, ISO 8601 ("2026-12-10T11:46:17Z"); empty when absent
    // From this time on a launcher refuses the manifest, so that a server (or anything between) that
    // keeps serving it cannot hold players on an old build for ever; the publisher signs the channel
    // afresh before then. Same form as "published"; empty: it never expires.
    std::string expires;
};

// The file list with its entries sorted by path in byte order.
std::string ReleaseListJson(const ReleaseList& list);
std::string ManifestJson(const ChannelManifest& manifest);

// The manifest; `channel` is the channel it was served under (empty: any).
ChannelManifest ReadManifest(const JsonValue& root, const std::string& channel, std::vector<std::string>* problems);

// The offers of a manifest alone, as the launcher reads them from a manifest it has cached.
std::optional<LauncherOffer> ReadLauncherOffer(const JsonValue& root, std::vector<std::string>* problems);
std::optional<BlobRef> ReadBannerOffer(const JsonValue& root, std::vector<std::string>* problems);

// True when the file list's bytes are those the manifest vouches for. The digest is computed
// only when the size already agrees.
bool ListMatchesManifest(const ChannelManifest& manifest, const std::string& listBytes);

// An entry of "files" that did not become a record as it is, by its index among the entries.
struct EntryNote {
    std::size_t entry = 0;
    std::string unreadable;     // why it has no record (a member missing or mistyped); empty if it has one
    bool groupIgnored = false;  // its "group" is not text, so it belongs to the base game
    std::string chunksIgnored;  // why its "chunks" names no usable index, which reads as none
};

// A release file list as one pass over its text leaves it, before any of its rules is applied: the
// members its readers look at (the first of each name; "files" without its items), and the entries
// of "files" as records, the way they are read from the text. The list of a large game holds a
// hundred thousand entries, which never exist as a model of the document.
struct ReleaseListDocument {
    JsonValue members;               // an object
    std::vector<ReleaseFile> files;  // the entries that make a record, in document order
    std::vector<EntryNote> notes;    // in entry order
    std::size_t entries = 0;         // items of "files"
};

// Throws ParseJson's failures, and only those: the document's rules apply later.
ReleaseListDocument ParseReleaseList(const std::string& text);

// The file list belongs to the manifest: schema 1, platform "windows" and the manifest's build id.
void CheckListTarget(const ReleaseListDocument& list, const ChannelManifest& manifest,
                     std::vector<std::string>* problems);

// The file list's content: build, launch command and files (taken from the document).
ReleaseList ReadReleaseList(ReleaseListDocument&& list, std::vector<std::string>* problems);

// The readers on document text, listing every finding (the publisher's form).
ChannelManifest ReadManifest(const std::string& text, std::vector<std::string>& problems);
ReleaseList ReadReleaseList(const std::string& text, std::vector<std::string>& problems);

}  // namespace vk
