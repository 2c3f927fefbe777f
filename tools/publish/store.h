#pragma once
// The store on the publisher's disk, laid out as engine/store_layout_portable.h says; release file
// lists go wherever --release-path puts them.
#include <filesystem>
#include <string>
#include <vector>

#include "engine/release_documents_portable.h"
#include "engine/store_layout_portable.h"

namespace vk::publish {

namespace fs = std::filesystem;

class Store {
public:
    explicit Store(fs::path root) : root_(std::move(root)) {}
    // A store that must be there already: throws, naming the folder, when it is not.
    static Store Existing(const fs::path& root);

    const fs::path& Root() const { return root_; }

    // A store-relative path with forward slashes as a file-system path.
    fs::path Resolve(const std::string& relative) const;
    // Writes a document of the store whole (WriteFileAtomic), making its folder first.
    void Place(const std::string& relative, const std::string& bytes) const;

    // Where blobs are assembled before they are renamed into blobs/.
    fs::path IncomingFolder() const;

    // True when blobs/<sha256> is a file of exactly that size.
    bool HasBlob(const BlobRef& blob) const;
    // Every file in blobs/ whose name is a digest, with its size, sorted by name.
    std::vector<BlobRef> ListBlobs() const;
    // Every channel that has a manifest, sorted.
    std::vector<std::string> ListChannels() const;
    // Every release list under releases/ (at any depth), as store paths, sorted.
    std::vector<std::string> ListReleaseLists() const;

private:
    fs::path root_;
};

}  // namespace vk::publish
