#pragma once
// Names inside an installation that the engine reads, writes or must leave alone, kept in one
// place so the state files, the download store, the update and the check before launch agree.
namespace vk {

// The launcher's metadata folder directly below the install folder.
inline constexpr wchar_t kMetadataFolderName[] = L".vklauncher";

// Files of the metadata folder.
inline constexpr wchar_t kInstalledStateFile[] = L"installed.json";
inline constexpr wchar_t kGroupsFile[] = L"groups.json";
inline constexpr wchar_t kRequestFile[] = L"request.json";
inline constexpr wchar_t kRepairRequestFile[] = L"repair.request";
inline constexpr wchar_t kOptionalFile[] = L"optional.json";
inline constexpr wchar_t kLauncherPathFile[] = L"launcher.path";
// The verified manifest and its signature, also the names of their copies in the per-user cache.
inline constexpr wchar_t kChannelFile[] = L"channel.json";
inline constexpr wchar_t kChannelSignatureFile[] = L"channel.json.sig";

// The download store's folder inside the metadata folder.
inline constexpr wchar_t kDownloadsFolder[] = L"downloads";

// The game's user-data folders, at any depth and in any letter case: never listed, never cleaned.
inline constexpr wchar_t kSavedFolderName[] = L"Saved";

// Ends the name of a content package that an update has taken out of use.
inline constexpr wchar_t kDisabledPackageSuffix[] = L".vk-offline";

}  // namespace vk
