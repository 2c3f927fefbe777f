#pragma once
// The file primitives every state, settings and cache file passes through.
#include <cstdint>
#include <string>

namespace vk {

// Size from the file's attributes; 0 for a missing file, a directory or a failed query.
std::uint64_t FileSizeOf(const std::wstring& path);

// True when the path's attributes can be read and it is not a directory.
bool IsRegularFile(const std::wstring& path);

// The whole content of a small file; empty when it cannot be opened or read.
std::string ReadWholeFile(const std::wstring& path);

// Replaces the file's content through path + ".tmp" and an atomic move; the target is either
// the old or the new content.
void WriteFileAtomic(const std::wstring& path, const std::string& bytes);

// Creates every missing directory on a backslash-separated path.
void CreateDirectories(const std::wstring& path);

}  // namespace vk
