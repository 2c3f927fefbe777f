#include <windows.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "platform/retrying_files.h"

namespace vk {
namespace {

// Answers each attempt with the next scripted error; once the script is used up, every attempt
// repeats its last entry.
class ScriptedFiles final : public FileOperations {
public:
    explicit ScriptedFiles(std::deque<unsigned long> errors) : errors_(std::move(errors)) {}

    unsigned long Move(const std::wstring&, const std::wstring&, bool) override { return Next(); }
    unsigned long Delete(const std::wstring&) override { return Next(); }

    unsigned attempts = 0;

private:
    unsigned long Next() {
        ++attempts;
        const unsigned long error = errors_.front();
        if (errors_.size() > 1) errors_.pop_front();
        return error;
    }

    std::deque<unsigned long> errors_;
};

struct RetryCase {
    const char* name;
    std::deque<unsigned long> errors;
    unsigned long result;
    unsigned attempts;  // 0: as many as the time allows, at least two
};

const RetryCase kRetryCases[] = {
    {"FirstTry", {0}, 0, 1},
    {"SharingViolationTwice", {ERROR_SHARING_VIOLATION, ERROR_SHARING_VIOLATION, 0}, 0, 3},
    {"AccessDeniedOnce", {ERROR_ACCESS_DENIED, 0}, 0, 2},
    {"LockViolationOnce", {ERROR_LOCK_VIOLATION, 0}, 0, 2},
    {"MissingFileIsFinal", {ERROR_FILE_NOT_FOUND, 0}, ERROR_FILE_NOT_FOUND, 1},
    {"LockThatOutlastsThePolicy", {ERROR_SHARING_VIOLATION}, ERROR_SHARING_VIOLATION, 0},
};

TEST(RetryingFiles, RetriesOnlyMomentaryLocksAndOnlyForAWhile) {
    const RetryPolicy quick{300, 20};
    for (const RetryCase& c : kRetryCases) {
        SCOPED_TRACE(c.name);
        ScriptedFiles moves(c.errors);
        EXPECT_EQ(MoveRetried(moves, L"a", L"b", true, quick), c.result);
        ScriptedFiles deletes(c.errors);
        EXPECT_EQ(DeleteRetried(deletes, L"a", quick), c.result);
        for (const unsigned attempts : {moves.attempts, deletes.attempts}) {
            if (c.attempts != 0) {
                EXPECT_EQ(attempts, c.attempts);
            } else {
                EXPECT_GE(attempts, 2u);
            }
        }
    }
}

}  // namespace
}  // namespace vk
