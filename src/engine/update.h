#pragma once
// Seams of the update operation that tests replace to reach states a test machine cannot.
#include <cstdint>
#include <string>

namespace vk {

constexpr std::uint64_t kMinimumFreeSpace = 256ull * 1024 * 1024;

// Bytes free to the caller on the volume of `folder`; false when the query fails.
using FreeSpaceQuery = bool (*)(const std::wstring& folder, std::uint64_t& freeBytes);
extern FreeSpaceQuery queryFreeSpace;  // QueryVolumeFreeSpace (infra/files.h) unless a test replaces it

}  // namespace vk
