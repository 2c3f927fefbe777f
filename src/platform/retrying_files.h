#pragma once
// Moves and deletes that outlast a momentary lock. Antivirus scanners and indexers open a freshly
// written executable for a moment, and a process that was just terminated may still map its image;
// a swap that gave up at the first sharing violation would strand the player with an old launcher.
#include <functional>
#include <string>

namespace vk {

struct RetryPolicy {
    unsigned long totalMs = 5000;  // keep trying this long after the first failure
    unsigned long pauseMs = 250;   // between attempts
};

// The file operations of a launcher swap. Each returns 0 on success, else the Windows error code.
// Tests substitute a file system that fails on cue; the program always uses RealFileOperations.
class FileOperations {
public:
    virtual ~FileOperations() = default;
    virtual unsigned long Move(const std::wstring& from, const std::wstring& to, bool replace) = 0;
    virtual unsigned long Delete(const std::wstring& path) = 0;
};

FileOperations& RealFileOperations();

// True for the errors a momentary lock produces: sharing violation, lock violation and access denied.
bool IsTransientLockError(unsigned long error);

// The operation (0 on success, else the Windows error code) repeated while it fails with a transient
// lock error and the policy's time lasts.
unsigned long Retried(const std::function<unsigned long()>& operation, const RetryPolicy& policy);
unsigned long MoveRetried(FileOperations& files, const std::wstring& from, const std::wstring& to, bool replace,
                          const RetryPolicy& policy);
unsigned long DeleteRetried(FileOperations& files, const std::wstring& path, const RetryPolicy& policy);

}  // namespace vk
