#include "engine/release_manifest.h"

#include <set>
#include <stdexcept>

#include "engine/release_path.h"
#include "infra/language.h"

namespace vk {

namespace {

// A blob offer counts only with a lower-case digest and a size; a malformed one is no offer.
bool ReadBlobOffer(const JsonValue& offer, std::string& sha256, std::uint64_t& size) {
    const std::string digest = StringField(offer, "sha256");
    const std::uint64_t bytes = UIntField(offer, "size");
    if (!IsSha256Hex(digest) || bytes == 0) return false;
    sha256 = digest;
    size = bytes;
    return true;
}

void ReadLauncherOffer(const JsonValue& offer, LauncherInfo& info) {
    try {
        std::string sha256;
        std::uint64_t size = 0;
        if (!ReadBlobOffer(offer, sha256, size)) return;
        info.launcherVersion = StringField(offer, "version");
        info.launcherSha256 = sha256;
        info.launcherSize = size;
    } catch (const std::runtime_error&) {
        info.launcherVersion.clear();
    }
}

void ReadBannerOffer(const JsonValue& offer, LauncherInfo& info) {
    try {
        ReadBlobOffer(offer, info.bannerSha256, info.bannerSize);
    } catch (const std::runtime_error&) {
        info.bannerSha256.clear();
    }
}

[[noreturn]] void FailMalformed(const std::string& path) {
    throw std::runtime_error(Localized("Release file list is malformed: ", "版本文件列表格式错误：") + path);
}

void ReadFiles(const JsonValue& files, RemoteRelease& release) {
    std::set<std::string> seen;
    for (const JsonValue& item : files.items) {
        ReleaseFile file;
        file.path = StringField(item, "path");
        file.size = UIntField(item, "size");
        file.sha256 = StringField(item, "sha256");
        const JsonValue* group = FindField(item, "group");
        if (group != nullptr && group->type == JsonType::String) file.group = group->text;
        CheckReleasePath(file.path);
        if (file.sha256.size() != 64 || !seen.insert(ToLowerAscii(file.path)).second) FailMalformed(file.path);
        release.totalSize += file.size;
        release.files.push_back(std::move(file));
    }
}

}  // namespace

LauncherInfo LauncherInfoFromManifest(const JsonValue& manifest) {
    LauncherInfo info;
    const JsonValue* launcher = FindField(manifest, "launcher");
    if (launcher != nullptr && launcher->type == JsonType::Object) ReadLauncherOffer(*launcher, info);
    const JsonValue* banner = FindField(manifest, "banner");
    if (banner != nullptr && banner->type == JsonType::Object) ReadBannerOffer(*banner, info);
    return info;
}

void ReadReleaseContent(const JsonValue& manifest, const JsonValue& list, RemoteRelease& release) {
    release.buildId = StringField(list, "build_id");
    release.projectVersion = StringField(list, "project_version");
    release.minLauncherVersion = StringField(manifest, "min_launcher_version");
    const JsonValue& launch = RequireField(list, "launch");
    release.launchPath = StringField(launch, "path");
    CheckReleasePath(release.launchPath);
    // Arguments are taken as they are: an item that is not a string becomes an empty argument.
    for (const JsonValue& arg : RequireField(launch, "args").items) release.launchArgs.push_back(arg.text);
    ReadFiles(RequireField(list, "files"), release);
}

}  // namespace vk
