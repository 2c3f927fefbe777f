#include "platform/runtime_task.h"

#include <memory>
#include <system_error>
#include <thread>

namespace vk {

namespace {

struct RuntimeJob {
    RuntimeHost host;
    bool thenPlay = false;
    HWND window = nullptr;
    UINT message = 0;
};

void RunRuntimeJob(const RuntimeJob& job) {
    auto result = std::make_unique<RuntimeFinished>();
    result->thenPlay = job.thenPlay;
    try {
        result->outcome = EnsureRuntime(job.host);
    } catch (const std::exception&) {
        // Only an exhausted system throws here; the player learns that the setup could not run.
        result->outcome.kind = InstallFailed;
        result->outcome.code = ERROR_NOT_ENOUGH_MEMORY;
    }
    if (PostMessageW(job.window, job.message, 0, reinterpret_cast<LPARAM>(result.get()))) {
        static_cast<void>(result.release());
    }
}

}  // namespace

bool StartRuntimeInstall(RuntimeHost host, bool thenPlay, HWND window, UINT message) {
    auto job = std::make_unique<RuntimeJob>(RuntimeJob{std::move(host), thenPlay, window, message});
    try {
        std::thread([job = std::move(job)] { RunRuntimeJob(*job); }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

}  // namespace vk
