#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "infra/files.h"
#include "infra/handles.h"
#include "platform/runtime_facts.h"
#include "platform_fixtures.h"
#include "runtime_registry.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

constexpr RuntimeVersion kGood{14, 44, 35211, 0};
constexpr RuntimeVersion kOld{14, 30, 30704, 0};

class RuntimeFacts : public ::testing::Test {
protected:
    test::NativeRuntimeFiles native_;
};

TEST_F(RuntimeFacts, FileVersionComesFromTheVersionResource) {
    EXPECT_EQ(FileVersionOf(test::FixturePath(L"vc_redist_standin.exe")), kGood);
    EXPECT_EQ(FileVersionOf(test::FixturePath(L"successor_exits.exe")), RuntimeVersion{}) << "no version resource";
    EXPECT_EQ(FileVersionOf(test::FixturePath(L"no-such-file.exe")), RuntimeVersion{});
}

TEST_F(RuntimeFacts, RuntimeFolderCountsItsLowerFileAndOnlyWhenBothAreThere) {
    EXPECT_EQ(RuntimeDllVersion(test::FixturePath(L"runtime-good")), kGood);
    EXPECT_EQ(RuntimeDllVersion(test::FixturePath(L"runtime-old")), kOld);

    test::TempDir mixed;
    WriteFileAtomic(mixed / L"msvcp140_2.dll", test::FixtureBytes(L"runtime-good\\msvcp140_2.dll"));
    WriteFileAtomic(mixed / L"vcruntime140_1.dll", test::FixtureBytes(L"runtime-old\\vcruntime140_1.dll"));
    EXPECT_EQ(RuntimeDllVersion(mixed.path()), kOld);

    test::TempDir half;
    WriteFileAtomic(half / L"msvcp140_2.dll", test::FixtureBytes(L"runtime-good\\msvcp140_2.dll"));
    EXPECT_EQ(RuntimeDllVersion(half.path()), RuntimeVersion{});
}

// A file with the right version resource that does not load (here: built for another processor) does not count.
TEST_F(RuntimeFacts, RuntimeFileThatDoesNotLoadDoesNotCount) {
    test::TempDir dir;
    std::string foreign = test::FixtureBytes(L"runtime-good\\vcruntime140_1.dll");
    const std::uint32_t header = *reinterpret_cast<const std::uint32_t*>(foreign.data() + 0x3C);
    foreign[header + 4] = '\x4C';  // IMAGE_FILE_MACHINE_I386
    foreign[header + 5] = '\x01';
    WriteFileAtomic(dir / L"msvcp140_2.dll", test::FixtureBytes(L"runtime-good\\msvcp140_2.dll"));
    WriteFileAtomic(dir / L"vcruntime140_1.dll", foreign);
    ASSERT_EQ(FileVersionOf(dir / L"vcruntime140_1.dll"), kGood);
    EXPECT_EQ(RuntimeDllVersion(dir.path()), RuntimeVersion{});
}

// The game's copies are read for their version; their start-up code (which would run inside the
// launcher after every update) never runs.
TEST_F(RuntimeFacts, RuntimeFilesAreReadWithoutRunningThem) {
    test::TempDir dir;
    for (const wchar_t* name : {L"msvcp140_2.dll", L"vcruntime140_1.dll"}) {
        WriteFileAtomic(dir / name, test::FixtureBytes(std::wstring(L"runtime-marking\\") + name));
    }
    EXPECT_EQ(RuntimeDllVersion(dir.path()), kGood);
    for (const wchar_t* name : {L"msvcp140_2.dll", L"vcruntime140_1.dll"}) {
        EXPECT_FALSE(IsRegularFile(dir / (std::wstring(name) + L".loaded"))) << "start-up code ran";
    }
    // The stand-in does leave its mark when a library is loaded to run.
    const UniqueModule loaded(LoadLibraryW((dir / L"vcruntime140_1.dll").c_str()));
    ASSERT_TRUE(loaded.valid());
    EXPECT_TRUE(IsRegularFile(dir / L"vcruntime140_1.dll.loaded"));
}

class RegistryRecord : public ::testing::Test {
protected:
    void TearDown() override { test::RemoveRuntimeRecord(); }
};

TEST_F(RegistryRecord, ReadsTheFourValues) {
    test::WriteRuntimeRecord(14, 44, 35211, 3);
    EXPECT_EQ(RegistryRuntimeVersion(), (RuntimeVersion{14, 44, 35211, 3}));
}

TEST_F(RegistryRecord, AValueThatCannotBeReadCountsAsZero) {
    test::WriteRuntimeRecord(14, std::nullopt, 35211, 3);
    EXPECT_EQ(RegistryRuntimeVersion(), (RuntimeVersion{14, 0, 35211, 3}));
}

TEST_F(RegistryRecord, MissingRecordIsZero) {
    test::RemoveRuntimeRecord();
    EXPECT_EQ(RegistryRuntimeVersion(), RuntimeVersion{});
}

}  // namespace
}  // namespace vk
