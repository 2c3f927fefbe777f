#include "infra/errors.h"

#include <windows.h>
#include <winhttp.h>

#include <gtest/gtest.h>

#include "infra/language_portable.h"
#include "infra/text.h"

namespace vk {
namespace {

std::string Message(DWORD code, const std::string& label) {
    SetLastError(code);
    try {
        ThrowLastError(label);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "not thrown";
}

TEST(ThrowLastError, LabelColonSystemTextAndCode) {
    const std::string message = Message(ERROR_ACCESS_DENIED, "无法写入 C:\\x");
    EXPECT_EQ(message.rfind("无法写入 C:\\x：", 0), 0u) << message;
    EXPECT_TRUE(message.ends_with("（5）")) << message;
    // The system's text comes without its line break and with no space before the parenthesis.
    EXPECT_EQ(message.find('\n'), std::string::npos);
    EXPECT_EQ(message.find(" （"), std::string::npos);
    EXPECT_GT(message.size(), std::string("无法写入 C:\\x：（5）").size());
}

TEST(SystemErrorText, CodeWithoutTextGivesOnlyTheCode) {
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), L"（805306367）");
    EXPECT_EQ(Message(0x2FFFFFFF, "x"), "x：（805306367）");
}

TEST(SystemErrorText, WinHttpRangeUsesTheWinHttpModuleOnceLoaded) {
    // Under Wine winhttp.dll has no message table, so codes of its range come out as the bare code,
    // which exercises the "no text" path; the code just above the range comes from the system table.
    for (bool loaded : {false, true}) {
        if (loaded) {
            ASSERT_NE(LoadLibraryW(L"winhttp.dll"), nullptr);
        }
        const std::wstring timeout = SystemErrorText(ERROR_WINHTTP_TIMEOUT);
        EXPECT_EQ(timeout.substr(timeout.size() - 7), L"（12002）") << loaded;
        const std::wstring above = SystemErrorText(12200);
        EXPECT_EQ(above.substr(above.size() - 7), L"（12200）") << loaded;
    }
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_GT(denied.size(), std::wstring(L"（5）").size());
}

TEST(CheckStatus, NegativeStatusGivesEightHexDigits) {
    EXPECT_NO_THROW(CheckStatus(0, "SHA-256"));
    EXPECT_NO_THROW(CheckStatus(0x7FFFFFFF, "SHA-256"));
    try {
        CheckStatus(static_cast<long>(0xC0000225), "SHA-256 初始化");
        FAIL() << "not thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "SHA-256 初始化 失败（0xC0000225）");
    }
    try {
        CheckStatus(-1, "SHA-256");
        FAIL() << "not thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "SHA-256 失败（0xFFFFFFFF）");
    }
}

TEST(Cancelled, LanguageIsFixedWhenBuiltAndItIsARuntimeError) {
    useEnglish = false;
    const Cancelled chinese;
    useEnglish = true;
    const Cancelled english;
    EXPECT_STREQ(chinese.what(), "已暂停");
    EXPECT_STREQ(english.what(), "Paused");
    EXPECT_NE(dynamic_cast<const std::runtime_error*>(&english), nullptr);
}

}  // namespace
}  // namespace vk
