#pragma once
// The shape every background task shares: a fresh result, the work filling it, and exactly one
// posted message carrying it, whatever the work throws.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "controller/effects.h"
#include "controller/messages.h"
#include "controller/payloads.h"
#include "infra/text.h"
#include "platform/runtime_task.h"

namespace vk {

inline void RecordFailure(ReleaseCheckResult& result, const std::string& message) { result.error = message; }
inline void RecordFailure(UpdateResult& result, const std::string& message) { result.error = message; }
inline void RecordFailure(SelfUpdateResult& result, const std::string& message) {
    result.error = Utf8ToWide(message);
}
inline void RecordFailure(NewsResult&, const std::string&) {}
// A check that fails is reported like a bad file: the question shows the message in its place.
inline void RecordFailure(VerifyResult& result, const std::string& message) { result.problem = message; }
inline void RecordFailure(RuntimeFinished& result, const std::string&) {
    result.outcome.kind = InstallFailed;
    result.outcome.code = ERROR_NOT_ENOUGH_MEMORY;
}

// A task whose worker fills a fresh result and posts it: every failure the work throws becomes the
// result's error, so exactly one message ends the task whatever happens.
template <typename Result>
Task MakeTask(TaskKind kind, HWND window, UINT message, std::function<void(Result&)> work) {
    auto run = [window, message, work = std::move(work)] {
        auto result = std::make_unique<Result>();
        try {
            work(*result);
        } catch (const std::exception& e) {
            RecordFailure(*result, e.what());
        }
        PostPayload(window, message, std::move(result));
    };
    auto refuse = [window, message](const std::string& error) {
        auto result = std::make_unique<Result>();
        RecordFailure(*result, error);
        PostPayload(window, message, std::move(result));
    };
    return Task{kind, std::move(run), std::move(refuse)};
}

}  // namespace vk
