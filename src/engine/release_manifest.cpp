#include "engine/release_manifest.h"

namespace vk {

namespace {

LauncherInfo InfoFromOffers(const std::optional<LauncherOffer>& launcher, const std::optional<BlobRef>& banner) {
    LauncherInfo info;
    if (launcher) {
        info.launcherVersion = launcher->version;
        info.launcherSha256 = launcher->blob.sha256;
        info.launcherSize = launcher->blob.size;
    }
    if (banner) {
        info.bannerSha256 = banner->sha256;
        info.bannerSize = banner->size;
    }
    return info;
}

}  // namespace

LauncherInfo LauncherInfoOf(const ChannelManifest& manifest) {
    return InfoFromOffers(manifest.launcher, manifest.banner);
}

LauncherInfo LauncherInfoFromManifest(const JsonValue& manifest) {
    return InfoFromOffers(ReadLauncherOffer(manifest, nullptr), ReadBannerOffer(manifest, nullptr));
}

void ReadReleaseContent(const ChannelManifest& manifest, ReleaseListDocument&& list, RemoteRelease& release) {
    ReleaseList content = ReadReleaseList(std::move(list), nullptr);
    release.buildId = std::move(content.buildId);
    release.projectVersion = std::move(content.projectVersion);
    release.minLauncherVersion = manifest.minLauncherVersion;
    release.sequence = manifest.sequence;
    release.published = manifest.published;
    release.expires = manifest.expires;
    release.launchPath = std::move(content.launchPath);
    release.launchArgs = std::move(content.launchArgs);
    release.files = std::move(content.files);
    for (const ReleaseFile& file : release.files) release.totalSize += file.size;
}

}  // namespace vk
