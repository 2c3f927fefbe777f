#pragma once
// File-system paths of the launcher: backslash-separated UTF-16 text. Every path is built through
// these helpers, so a release path always turns into a disk path the same way.
#include <string>

namespace vk {

// folder + "\" + name; a folder that already ends in a backslash (a drive root) gets no second one.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);

// The folder without trailing backslashes, as the launcher keeps folders; a drive root ("D:\\")
// keeps its own.
std::wstring TrimmedFolder(std::wstring folder);

// The path up to its last backslash; the whole path when it has none.
std::wstring ParentFolder(const std::wstring& path);

// The part after the last backslash; the whole path when it has none.
std::wstring FileNameOf(const std::wstring& path);

// A release path ("Velkar/Content/a.pak", UTF-8, forward slashes) as a relative disk path
// ("Velkar\Content\a.pak"), and back.
std::wstring DiskPathOf(const std::string& releasePath);
std::string ReleasePathOf(const std::wstring& relativePath);
// The same, added to the end of `out`.
void AppendReleasePathOf(const std::wstring& relativePath, std::string& out);

// The user's local application-data folder; empty when the system cannot name it.
std::wstring LocalAppDataFolder();

// Full path of the running executable, however long.
std::wstring ExecutablePath();

}  // namespace vk
