#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "platform/runtime_task.h"

namespace vk {
namespace {

constexpr UINT kFinished = WM_APP + 6;

// A message-only window of this thread: the task posts to it and the test reads its queue.
class MessageWindow {
public:
    MessageWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~MessageWindow() {
        if (window_ != nullptr) DestroyWindow(window_);
    }
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    HWND get() const { return window_; }

private:
    HWND window_;
};

TEST(RuntimeTask, PostsTheOutcomeWithTheThenPlayFlagInOneBlock) {
    const MessageWindow window;
    ASSERT_NE(window.get(), nullptr);
    const DWORD taskThread = GetCurrentThreadId();
    std::atomic<DWORD> ranOn{taskThread};
    RuntimeHost host{[] {
                         return RuntimeFacts{{14, 44, 0, 0}, {}, {}, {}};
                     },
                     [] { return true; },
                     [&](std::uint32_t& exitCode, std::uint32_t& error) {
                         ranOn = GetCurrentThreadId();
                         exitCode = 1618;
                         error = 0;
                         return true;
                     }};
    ASSERT_TRUE(StartRuntimeInstall(host, true, window.get(), kFinished));

    MSG message{};
    ASSERT_GT(GetMessageW(&message, window.get(), kFinished, kFinished), 0);
    const std::unique_ptr<RuntimeFinished> result(reinterpret_cast<RuntimeFinished*>(message.lParam));
    EXPECT_EQ(message.wParam, 0u);
    EXPECT_EQ(result->outcome.kind, InstallerBusy);
    EXPECT_EQ(result->outcome.code, 1618u);
    EXPECT_TRUE(result->outcome.ran);
    EXPECT_EQ(result->outcome.required, (RuntimeVersion{14, 44, 0, 0}));
    EXPECT_TRUE(result->thenPlay);
    EXPECT_NE(ranOn.load(), taskThread) << "the installer must not run on the interface thread";
}

}  // namespace
}  // namespace vk
