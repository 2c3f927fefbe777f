#pragma once
// Reading the signed channel manifest and the release file list it vouches for.
#include "engine/release.h"
#include "infra/json.h"

namespace vk {

// The launcher offer and banner of a manifest; incomplete or malformed entries give empty fields.
LauncherInfo LauncherInfoFromManifest(const JsonValue& manifest);

// Fills buildId, projectVersion, minLauncherVersion, the launch command, files and totalSize,
// checking every path; throws on the first bad entry.
void ReadReleaseContent(const JsonValue& manifest, const JsonValue& list, RemoteRelease& release);

}  // namespace vk
