#include <ctime>
#include <stdexcept>

#include "engine/document_fetch.h"
#include "engine/install_layout.h"
#include "engine/release_manifest.h"
#include "engine/seen_sequence.h"
#include "engine/store_layout_portable.h"
#include "engine/updater.h"
#include "infra/files.h"
#include "infra/http.h"
#include "infra/json_portable.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/signature_portable.h"
#include "infra/utc_time_portable.h"

namespace vk {

namespace {

[[noreturn]] void Fail(const char* english, const char* chinese) {
    throw std::runtime_error(Localized(english, chinese));
}

bool HasExpired(const std::string& expires) {
    // The reader has refused a manifest whose time it cannot read.
    return !expires.empty() && *ParseUtcTime(expires) <= static_cast<std::int64_t>(std::time(nullptr));
}

}  // namespace

std::string ReleaseExpiredMessage() {
    return Localized("The update information has expired. Try again later.", "更新信息已过期，请稍后再试。");
}

ReleaseExpired::ReleaseExpired(RemoteRelease verified)
    : std::runtime_error(ReleaseExpiredMessage()), release(std::move(verified)) {}

RemoteRelease Updater::FetchRelease() const {
    HttpSession session;
    // One value for both requests; it only keeps caches along the way from answering.
    const std::string query = "?t=" + std::to_string(static_cast<long long>(std::time(nullptr)));
    const std::string manifestUrl = StoreUrl(baseUrl, ChannelManifestAddress(channel));

    RemoteRelease release;
    release.manifestText = FetchDocument(session, manifestUrl + query);
    release.signatureText = FetchDocument(session, StoreUrl(baseUrl, ChannelSignatureAddress(channel)) + query);
    if (!VerifySignature(release.manifestText, release.signatureText, publicKeyPem)) {
        Fail("Release signature check failed; update refused.", "版本信息签名校验失败，已拒绝更新。");
    }
    const ChannelManifest manifest = ReadManifest(ParseJson(release.manifestText), channel, nullptr);
    // A manifest from before the numbering counts as 0: it is refused once a number was seen.
    if (!cacheDir.empty() && manifest.sequence.value_or(0) < SeenSequence(cacheDir, channel)) {
        Fail("The update server offered an older release than this computer has already seen. Update refused.",
             "更新服务器提供的版本比本机已见过的更旧，已拒绝更新。");
    }

    const std::string listText = FetchDocument(session, StoreUrl(baseUrl, manifest.release));
    if (!ListMatchesManifest(manifest, listText)) Fail("Release file list check failed.", "版本文件列表校验失败。");
    ReleaseListDocument list = ParseReleaseList(listText);
    CheckListTarget(list, manifest, nullptr);

    release.launcher = LauncherInfoOf(manifest);
    if (!cacheDir.empty()) {
        // The cache keeps the last verified manifest even when its file list fails below.
        try {
            CreateDirectories(cacheDir);
            WriteFileAtomic(JoinPath(cacheDir, kChannelFile), release.manifestText);
            WriteFileAtomic(JoinPath(cacheDir, kChannelSignatureFile), release.signatureText);
            if (manifest.sequence) RememberSequence(cacheDir, channel, *manifest.sequence);
        } catch (const std::runtime_error&) {
        }
    }
    ReadReleaseContent(manifest, std::move(list), release);
    if (HasExpired(release.expires)) throw ReleaseExpired(std::move(release));
    return release;
}

LauncherInfo Updater::LoadCachedLauncherInfo() const {
    if (cacheDir.empty()) return {};
    const std::string manifest = ReadWholeFile(JoinPath(cacheDir, kChannelFile), kSmallFileLimit);
    if (manifest.empty()) return {};
    try {
        const std::string signature = ReadWholeFile(JoinPath(cacheDir, kChannelSignatureFile), kSmallFileLimit);
        if (!VerifySignature(manifest, signature, publicKeyPem)) return {};
        return LauncherInfoFromManifest(ParseJson(manifest));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace vk
