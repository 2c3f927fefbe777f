#include <ctime>
#include <stdexcept>

#include "engine/document_fetch.h"
#include "engine/release_manifest.h"
#include "engine/updater.h"
#include "infra/files.h"
#include "infra/http.h"
#include "infra/json.h"
#include "infra/language.h"
#include "infra/sha256.h"
#include "infra/signature.h"

namespace vk {

namespace {

[[noreturn]] void Fail(const char* english, const char* chinese) {
    throw std::runtime_error(Localized(english, chinese));
}

void CheckManifestTarget(const JsonValue& manifest, const std::string& channel) {
    if (UIntField(manifest, "schema") != 1 || StringField(manifest, "platform") != "windows" ||
        StringField(manifest, "channel") != channel) {
        Fail("This release does not match the updater. Please download the new updater.",
             "版本信息与本启动器不匹配，请下载新版启动器。");
    }
}

void CheckListBytes(const JsonValue& manifest, const std::string& list) {
    // The digest is computed only when the size already agrees.
    if (UIntField(manifest, "release_size") != list.size() ||
        StringField(manifest, "release_sha256") != Sha256Hex(list)) {
        Fail("Release file list check failed.", "版本文件列表校验失败。");
    }
}

void CheckListTarget(const JsonValue& manifest, const JsonValue& list) {
    if (UIntField(list, "schema") != 1 || StringField(manifest, "build_id") != StringField(list, "build_id") ||
        StringField(list, "platform") != "windows") {
        Fail("Release file list does not match the release info.", "版本文件列表与版本信息不一致。");
    }
}

}  // namespace

RemoteRelease Updater::FetchRelease() const {
    HttpSession session;
    // One value for both requests; it only keeps caches along the way from answering.
    const std::string query = "?t=" + std::to_string(static_cast<long long>(std::time(nullptr)));
    const std::string manifestUrl = baseUrl + "/channels/" + channel + "/windows.json";

    RemoteRelease release;
    release.manifestText = FetchDocument(session, manifestUrl + query);
    release.signatureText = FetchDocument(session, manifestUrl + ".sig" + query);
    if (!VerifySignature(release.manifestText, release.signatureText, publicKeyPem)) {
        Fail("Release signature check failed; update refused.", "版本信息签名校验失败，已拒绝更新。");
    }
    const JsonValue manifest = ParseJson(release.manifestText);
    CheckManifestTarget(manifest, channel);

    const std::string listText = FetchDocument(session, baseUrl + "/" + StringField(manifest, "release"));
    CheckListBytes(manifest, listText);
    const JsonValue list = ParseJson(listText);
    CheckListTarget(manifest, list);

    release.launcher = LauncherInfoFromManifest(manifest);
    if (!cacheDir.empty()) {
        // The cache keeps the last verified manifest even when its file list fails below.
        try {
            CreateDirectories(cacheDir);
            WriteFileAtomic(cacheDir + L"\\channel.json", release.manifestText);
            WriteFileAtomic(cacheDir + L"\\channel.json.sig", release.signatureText);
        } catch (const std::runtime_error&) {
        }
    }
    ReadReleaseContent(manifest, list, release);
    return release;
}

LauncherInfo Updater::LoadCachedLauncherInfo() const {
    if (cacheDir.empty()) return {};
    const std::string manifest = ReadWholeFile(cacheDir + L"\\channel.json");
    if (manifest.empty()) return {};
    try {
        if (!VerifySignature(manifest, ReadWholeFile(cacheDir + L"\\channel.json.sig"), publicKeyPem)) return {};
        return LauncherInfoFromManifest(ParseJson(manifest));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace vk
