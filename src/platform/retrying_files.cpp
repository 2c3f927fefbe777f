#include "platform/retrying_files.h"

#include <windows.h>

namespace vk {

namespace {

class SystemFileOperations final : public FileOperations {
public:
    unsigned long Move(const std::wstring& from, const std::wstring& to, bool replace) override {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
        return MoveFileExW(from.c_str(), to.c_str(), flags) ? 0 : GetLastError();
    }

    unsigned long Delete(const std::wstring& path) override { return DeleteFileW(path.c_str()) ? 0 : GetLastError(); }
};

}  // namespace

unsigned long Retried(const std::function<unsigned long()>& operation, const RetryPolicy& policy) {
    const ULONGLONG start = GetTickCount64();
    for (;;) {
        const unsigned long error = operation();
        if (error == 0 || !IsTransientLockError(error)) return error;
        if (GetTickCount64() - start >= policy.totalMs) return error;
        Sleep(policy.pauseMs);
    }
}

FileOperations& RealFileOperations() {
    static SystemFileOperations files;
    return files;
}

bool IsTransientLockError(unsigned long error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

unsigned long MoveRetried(FileOperations& files, const std::wstring& from, const std::wstring& to, bool replace,
                          const RetryPolicy& policy) {
    return Retried([&] { return files.Move(from, to, replace); }, policy);
}

unsigned long DeleteRetried(FileOperations& files, const std::wstring& path, const RetryPolicy& policy) {
    return Retried([&] { return files.Delete(path); }, policy);
}

}  // namespace vk
