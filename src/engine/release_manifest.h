#pragma once
// The launcher's reading of a verified release: its records from the documents' model.
#include "engine/release.h"
#include "engine/release_documents_portable.h"
#include "infra/json_portable.h"

namespace vk {

// The launcher offer and banner of a manifest; incomplete or malformed entries give empty fields.
LauncherInfo LauncherInfoOf(const ChannelManifest& manifest);
LauncherInfo LauncherInfoFromManifest(const JsonValue& manifest);

// Fills buildId, projectVersion, minLauncherVersion, sequence, published, expires, the launch command, files
// and totalSize, checking every path; throws the player's message for the first entry the launcher refuses.
void ReadReleaseContent(const ChannelManifest& manifest, ReleaseListDocument&& list, RemoteRelease& release);

}  // namespace vk
