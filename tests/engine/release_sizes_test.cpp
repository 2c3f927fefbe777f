// Size figures of a release and an installation.
#include "engine/release_sizes.h"

#include <gtest/gtest.h>

namespace vk {
namespace {

TEST(ReleaseSizes, GroupAndInstalledSums) {
    RemoteRelease release;
    release.files = {
        {"a", 5, "", "", {}}, {"b", 7, "", "island", {}}, {"c", 11, "", "island", {}}, {"d", 13, "", "Island", {}}};
    EXPECT_EQ(OptionalGroupSize(release, "island"), 18u);
    EXPECT_EQ(OptionalGroupSize(release, "desert"), 0u);
    InstalledState installed;
    EXPECT_FALSE(HasInstallation(installed));
    installed.files["a"] = {"", 5};
    installed.files["b"] = {"", 7};
    EXPECT_EQ(InstalledBytes(installed), 12u);
    EXPECT_TRUE(HasInstallation(installed));
}

}  // namespace
}  // namespace vk
