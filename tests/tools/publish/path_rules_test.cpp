#include "path_rules.h"

#include <gtest/gtest.h>

namespace vk::publish {
namespace {

struct PathCase {
    std::string path;
    const char* problem;  // empty: publishable; otherwise a piece of the reason
};

TEST(PathRulesTest, ExplainsWhyAPathCannotBePublished) {
    const PathCase cases[] = {
        {"Velkar/Content/Paks/a.pak", ""},
        {"Velkar/SavedGames/x", ""},
        {"Engine/é/ü.txt", ""},
        {"Velkar/console.txt", ""},
        {"Velkar/com10.txt", ""},
        {"Velkar/Saved/Config/x.ini", "Saved folder"},
        {"saved", "Saved folder"},
        {".vklauncher/installed.json", ".vklauncher"},
        {".VkLauncherData", ".vklauncher"},
        {"Velkar/a\\b.pak", "backslash"},
        {"Velkar/a:b.pak", "colon"},
        {"Velkar/\xC3(.pak", "UTF-8"},
        {"Velkar/\xED\xA0\x80.pak", "UTF-8"},  // an encoded surrogate
        {"Velkar/\xC0\xAF.pak", "UTF-8"},      // an overlong slash
        {"Velkar/a?.pak", "does not allow"},
        {"Velkar/a*.pak", "does not allow"},
        {"Velkar/a\"b", "does not allow"},
        {"Velkar/a\tb", "does not allow"},
        {"Velkar/name.", "ending in a dot"},
        {"Velkar/dir /a", "ending in a dot or blank"},
        {"Velkar/CON", "reserves"},
        {"Velkar/nul.txt", "reserves"},
        {"LPT1/a", "reserves"},
        {"Velkar/Com7.log", "reserves"},
        {"Velkar/nul .txt", "reserves"},
        {"Velkar/LPT\xC2\xB9", "reserves"},
        {"VKLAUN~1/installed.json", "short name"},
        {"~mods/a.pak", ""},
    };
    for (const PathCase& c : cases) {
        const std::string problem = ReleasePathProblem(c.path);
        if (*c.problem == '\0') {
            EXPECT_EQ(problem, "") << c.path;
        } else {
            EXPECT_NE(problem.find(c.problem), std::string::npos) << c.path << ": \"" << problem << "\"";
        }
    }
}

TEST(PathRulesTest, PlainNamesAreSafeAsFileNamesAndInUrls) {
    for (const char* name : {"live", "b-2024.05.01_3", "A9"}) EXPECT_TRUE(IsPlainName(name)) << name;
    for (const char* name : {"", ".hidden", "..", "a/b", "a b", "a\\b", "ünï", "a:b", "a?b"}) {
        EXPECT_FALSE(IsPlainName(name)) << name;
    }
}

}  // namespace
}  // namespace vk::publish
