#include "glob.h"

#include <gtest/gtest.h>

namespace vk::publish {
namespace {

struct GlobCase {
    const char* pattern;
    const char* path;
    bool matches;
};

TEST(GlobTest, StarStaysInOneSegmentAndDoubleStarCrossesSegments) {
    const GlobCase cases[] = {
        {"Velkar/Content/Paks/Island*.pak", "Velkar/Content/Paks/IslandMap.pak", true},
        {"Velkar/Content/Paks/Island*.pak", "Velkar/Content/Paks/Island.pak", true},
        {"Velkar/Content/Paks/Island*.pak", "Velkar/Content/Paks/sub/IslandMap.pak", false},
        {"Velkar/Content/Paks/Island*.pak", "Velkar/Content/Paks/islandMap.pak", false},
        {"*.pak", "a.pak", true},
        {"*.pak", "x/a.pak", false},
        {"**/*.pak", "a.pak", true},
        {"**/*.pak", "x/y/a.pak", true},
        {"**/*.pak", "x/y/a.pakx", false},
        {"Velkar/**/Island/*", "Velkar/Island/a", true},
        {"Velkar/**/Island/*", "Velkar/Content/Maps/Island/a", true},
        {"Velkar/**/Island/*", "Velkar/Content/Maps/Island/b/a", false},
        {"Velkar/**/Island/*", "Velkar/Content/MapsIsland/a", false},
        {"Velkar/**", "Velkar/a", true},
        {"Velkar/**", "Velkar/a/b/c", true},
        {"Velkar/**", "Velkar", false},
        {"Velkar/**", "Engine/a", false},
        {"**", "anything/at/all", true},
        {"a**b", "a/x/b", true},
        {"a*b", "a/b", false},
        {"exact/path.txt", "exact/path.txt", true},
        {"exact/path.txt", "exact/path.txt2", false},
        {"*", "", true},
        {"a/*/c", "a//c", true},
    };
    for (const GlobCase& c : cases) {
        EXPECT_EQ(MatchGlob(c.pattern, c.path), c.matches) << c.pattern << " ~ " << c.path;
    }
}

TEST(GlobTest, ManyStarsStayFast) {
    EXPECT_FALSE(MatchGlob("*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b", std::string(200, 'a')));
    EXPECT_FALSE(MatchGlob("**a**a**a**a**a**a**a**a**a**b", std::string(200, 'a')));
}

}  // namespace
}  // namespace vk::publish
