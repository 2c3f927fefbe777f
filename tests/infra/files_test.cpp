#include "infra/files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "infra/handles.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

class Files : public ::testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(Files, SizeAndRegularFileQueries) {
    test::WriteTestFile(dir_ / L"a.bin", std::string(1234, 'x'));
    test::WriteTestFile(dir_ / L"empty", "");
    EXPECT_EQ(FileSizeOf(dir_ / L"a.bin"), 1234u);
    EXPECT_EQ(FileSizeOf(dir_ / L"empty"), 0u);
    EXPECT_EQ(FileSizeOf(dir_ / L"missing"), 0u);
    EXPECT_EQ(FileSizeOf(dir_.path()), 0u);
    EXPECT_TRUE(IsRegularFile(dir_ / L"empty"));
    EXPECT_FALSE(IsRegularFile(dir_ / L"missing"));
    EXPECT_FALSE(IsRegularFile(dir_.path()));
}

TEST_F(Files, ReadWholeFileGivesEmptyForAnythingUnreadable) {
    test::WriteTestFile(dir_ / L"doc.json", "{\"a\": 1}\n");
    EXPECT_EQ(ReadWholeFile(dir_ / L"doc.json"), "{\"a\": 1}\n");
    EXPECT_EQ(ReadWholeFile(dir_ / L"missing"), "");
    EXPECT_EQ(ReadWholeFile(dir_.path()), "");
    // A writer that shares nothing, and a writer that shares reading (our open shares read access only).
    for (DWORD share : {0ul, static_cast<DWORD>(FILE_SHARE_READ)}) {
        UniqueHandle writer(CreateFileW((dir_ / L"doc.json").c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(writer.valid());
        EXPECT_EQ(ReadWholeFile(dir_ / L"doc.json"), "") << "share " << share;
    }
}

TEST_F(Files, ReadWholeFileGivesEmptyForAFileOverTheLimit) {
    test::WriteTestFile(dir_ / L"ten", "0123456789");
    EXPECT_EQ(ReadWholeFile(dir_ / L"ten", 10), "0123456789");
    EXPECT_EQ(ReadWholeFile(dir_ / L"ten", 9), "");
}

TEST_F(Files, WriteFileAtomicReplacesWholeContent) {
    const std::wstring path = dir_ / L"installed.json";
    WriteFileAtomic(path, "first version, longer");
    WriteFileAtomic(path, "second");
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_FALSE(IsRegularFile(path + L".tmp"));
    WriteFileAtomic(path, "");
    EXPECT_TRUE(IsRegularFile(path));
    EXPECT_EQ(FileSizeOf(path), 0u);
}

TEST_F(Files, WriteFileAtomicFailuresNameTheFileAndKeepTheTarget) {
    const std::wstring path = dir_ / L"settings.cfg";
    WriteFileAtomic(path, "old");
    // The target held open without delete sharing cannot be replaced: the move fails.
    {
        UniqueHandle holder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.valid());
        try {
            WriteFileAtomic(path, "new");
            FAIL() << "not thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("无法替换 ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find("settings.cfg："), std::string::npos) << e.what();
        }
        EXPECT_TRUE(IsRegularFile(path + L".tmp"));  // the temporary stays for the next attempt
    }
    EXPECT_EQ(ReadWholeFile(path), "old");
    // A temporary that cannot be created fails with the temporary's name.
    try {
        WriteFileAtomic(dir_ / L"no\\such\\folder\\x.json", "x");
        FAIL() << "not thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("无法写入 ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("x.json.tmp："), std::string::npos) << e.what();
    }
}

TEST_F(Files, CreateDirectoriesMakesEveryLevelAndToleratesExisting) {
    const std::wstring deep = dir_ / L"a\\b\\c";
    CreateDirectories(deep);
    EXPECT_NE(GetFileAttributesW(deep.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NO_THROW(CreateDirectories(deep));
    EXPECT_NO_THROW(CreateDirectories(deep + L"\\d\\"));
    EXPECT_NE(GetFileAttributesW((deep + L"\\d").c_str()), INVALID_FILE_ATTRIBUTES);
    // A file in the way is an existing entry (183) for CreateDirectoryW: the next level fails.
    test::WriteTestFile(dir_ / L"file", "x");
    try {
        CreateDirectories(dir_ / L"file\\sub");
        FAIL() << "not thrown";
    } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("无法创建目录 ", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find("file\\sub："), std::string::npos) << e.what();
    }
}

}  // namespace
}  // namespace vk
