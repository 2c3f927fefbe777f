#include "infra/status_line_portable.h"

#include <gtest/gtest.h>

#include <vector>

namespace vk {
namespace {

struct Written {
    std::vector<std::string> parts;
    StatusLine line{[this](const std::string& bytes) { parts.push_back(bytes); }};
};

TEST(StatusLine, AShorterTextIsPaddedOverTheWidestBefore) {
    Written w;
    w.line.Show("Publishing: 1/3");
    w.line.Show("Publishing: 10/30 files");
    w.line.Show("Done");
    w.line.Show("Again");
    EXPECT_EQ(w.parts, (std::vector<std::string>{"\rPublishing: 1/3", "\rPublishing: 10/30 files",
                                                 "\rDone" + std::string(19, ' '), "\rAgain" + std::string(18, ' ')}));
}

TEST(StatusLine, CountsCharactersNotBytes) {
    Written w;
    w.line.Show("正在下载 42%");  // 8 characters, 16 bytes
    w.line.Show("ab");
    EXPECT_EQ(w.parts.back(), "\rab" + std::string(6, ' '));
}

TEST(StatusLine, KeepEndsTheLineAndEraseBlanksIt) {
    Written kept;
    kept.line.Show("abc");
    kept.line.Keep();
    kept.line.Keep();
    EXPECT_EQ(kept.parts, (std::vector<std::string>{"\rabc", "\n"}));

    Written erased;
    erased.line.Show("abcd");
    erased.line.Show("ab");
    erased.line.Erase();
    erased.line.Erase();
    EXPECT_EQ(erased.parts.back(), "\r    \r");
    EXPECT_EQ(erased.parts.size(), 3u);
}

TEST(StatusLine, NothingShownWritesNothing) {
    Written w;
    w.line.Keep();
    w.line.Erase();
    EXPECT_TRUE(w.parts.empty());
}

}  // namespace
}  // namespace vk
