#pragma once
// The file primitives every state, settings and cache file passes through.
#include <windows.h>

#include <cstdint>
#include <string>

namespace vk {

// Size from the file's attributes; 0 for a missing file, a directory or a failed query.
std::uint64_t FileSizeOf(const std::wstring& path);

// True when the path's attributes can be read and it is not a directory.
bool IsRegularFile(const std::wstring& path);

// Caps on what is read whole: far above any real file of the kind, so that a huge file (another
// program's, or damaged) reads like a malformed one instead of exhausting memory.
inline constexpr std::uint64_t kSmallFileLimit = 1024 * 1024;           // settings, requests, caches
inline constexpr std::uint64_t kWholeFileLimit = 64ull * 1024 * 1024;  // the installation's record

// The whole content of a file; empty when it cannot be opened or read, or holds more than `limit` bytes.
std::string ReadWholeFile(const std::wstring& path, std::uint64_t limit = kWholeFileLimit);

// Writes every byte at the file's position; a failed write throws label + "：" + the system's text,
// and so does a short one, as a write fault.
void WriteAll(HANDLE file, const void* bytes, DWORD length, const std::string& label);

// The system call behind WriteAll. Tests replace it to present the short writes that their disks
// never produce.
using WriteFileCall = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
extern WriteFileCall writeFileCall;

// Replaces the file's content through path + ".tmp" and an atomic move; the target is either
// the old or the new content.
void WriteFileAtomic(const std::wstring& path, const std::string& bytes);

// Bytes free to the caller on the volume of `folder`; false when the query fails (for instance
// when the folder does not exist).
bool QueryVolumeFreeSpace(const std::wstring& folder, std::uint64_t& freeBytes);

// Creates every missing directory on a backslash-separated path.
void CreateDirectories(const std::wstring& path);

}  // namespace vk
