#include "store.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

#include "engine/release_path_portable.h"
#include "file_io.h"

namespace vk::publish {

Store Store::Existing(const fs::path& root) {
    if (!fs::is_directory(root)) throw std::runtime_error("there is no store at " + Utf8Of(root));
    return Store(root);
}

fs::path Store::Resolve(const std::string& relative) const {
    return root_ / PathFromUtf8(relative);
}

void Store::Place(const std::string& relative, const std::string& bytes) const {
    const fs::path path = Resolve(relative);
    fs::create_directories(path.parent_path());
    WriteFileAtomic(path, bytes);
}

fs::path Store::IncomingFolder() const {
    return root_ / ".incoming";
}

bool Store::HasBlob(const BlobRef& blob) const {
    std::error_code error;
    const fs::path path = Resolve(BlobAddress(blob.sha256));
    return fs::is_regular_file(path, error) && fs::file_size(path, error) == blob.size && !error;
}

std::vector<BlobRef> Store::ListBlobs() const {
    std::vector<BlobRef> blobs;
    const fs::path folder = root_ / kBlobsFolder;
    if (!fs::exists(folder)) return blobs;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = Utf8Of(entry.path().filename());
        if (IsSha256Hex(name) && entry.is_regular_file()) blobs.push_back({name, entry.file_size()});
    }
    std::sort(blobs.begin(), blobs.end(), [](const BlobRef& a, const BlobRef& b) { return a.sha256 < b.sha256; });
    return blobs;
}

std::vector<std::string> Store::ListChannels() const {
    std::vector<std::string> channels;
    const fs::path folder = root_ / kChannelsFolder;
    if (!fs::exists(folder)) return channels;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string name = Utf8Of(entry.path().filename());
        if (fs::is_regular_file(Resolve(ChannelManifestAddress(name)))) channels.push_back(name);
    }
    std::sort(channels.begin(), channels.end());
    return channels;
}

std::vector<std::string> Store::ListReleaseLists() const {
    std::vector<std::string> lists;
    const fs::path folder = Resolve(kReleasesFolder);
    if (!fs::is_directory(folder)) return lists;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = Utf8Of(entry.path().filename());
        // Temporaries of an interrupted write start with a dot.
        if (!entry.is_regular_file() || name.starts_with(".") || !name.ends_with(".json")) continue;
        lists.push_back(Utf8Of(fs::relative(entry.path(), root_)));
    }
    std::sort(lists.begin(), lists.end());
    return lists;
}

}  // namespace vk::publish
