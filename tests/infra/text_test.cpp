#include "infra/text.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(TextConversion, RoundTripsAndReplacesInvalidInput) {
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(WideToUtf8(L""), "");
    const std::string mixed = "Velkar \xE5\x90\xAF\xE5\x8A\xA8\xE5\x99\xA8 \xF0\x9F\x98\x80";
    EXPECT_EQ(Utf8ToWide(mixed), L"Velkar \u542F\u52A8\u5668 \U0001F600");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(mixed)), mixed);
    EXPECT_EQ(Utf8ToWide("a\xFF" "b"), L"a\uFFFDb");
    EXPECT_EQ(WideToUtf8(std::wstring(L"x\xD800y")), "x\xEF\xBF\xBDy");
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    // Every ASCII unit maps to itself; the first unit beyond ASCII, anywhere, makes a real conversion.
    std::string ascii;
    std::wstring wideAscii;
    for (int c = 0; c < 0x80; ++c) {
        ascii += static_cast<char>(c);
        wideAscii += static_cast<wchar_t>(c);
    }
    EXPECT_EQ(Utf8ToWide(ascii), wideAscii);
    EXPECT_EQ(WideToUtf8(wideAscii), ascii);
    EXPECT_EQ(Utf8ToWide(ascii + "\xC3\xA9"), wideAscii + L"\u00E9");
    EXPECT_EQ(WideToUtf8(L"\u0080" + wideAscii), "\xC2\x80" + ascii);
}

}  // namespace
}  // namespace vk
