#pragma once
// Free space of the install folder's volume for the disk line. The query can block for a network
// time-out (a sleeping network drive), so it never runs on the interface thread: a background
// query refreshes the value at most once per period and painting shows the last known value.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vk {

// Bytes available to the caller on the folder's volume, retried with the drive root ("C:\"); 0
// when neither can be asked.
std::uint64_t QueryFreeSpace(const std::wstring& folder);

using FreeSpaceQuery = std::function<std::uint64_t(const std::wstring& folder)>;
// Runs the work on a detached thread; throws std::system_error when no thread can be started.
using ThreadStart = std::function<void(std::function<void()> work)>;

void StartDetachedThread(std::function<void()> work);

class DiskSpaceMonitor {
public:
    // onChanged runs on the background thread after each query (the window repaints then).
    explicit DiskSpaceMonitor(FreeSpaceQuery query = QueryFreeSpace, std::function<void()> onChanged = {},
                              std::uint64_t periodMilliseconds = 5000, ThreadStart start = StartDetachedThread);

    // The last known free space of the folder's volume, 0 while unknown. Starts a query when none
    // runs and the last one for this folder started at least a period ago (at once for a new folder).
    // Never throws: a query that cannot start is tried again by the next call.
    std::uint64_t FreeBytes(const std::wstring& folder, std::uint64_t nowMilliseconds);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;  // shared with a query that may outlive the monitor
};

}  // namespace vk
