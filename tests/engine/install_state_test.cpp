#include "engine/install_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "engine/install_layout.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/json_portable.h"
#include "support/json_texts.h"
#include "support/temp_dir.h"

namespace vk {
namespace {

const std::string kDigestA(64, 'a');
const std::string kDigestB(64, 'b');
const std::string kDigestC(64, 'c');

class InstallState : public ::testing::Test {
protected:
    InstallState() { updater_.installDir = dir_.path(); }

    std::wstring Meta(const wchar_t* name) const { return MetadataPath(updater_, name); }
    void WriteMeta(const wchar_t* name, const std::string& bytes) const { test::WriteTestFile(Meta(name), bytes); }
    std::string ReadMeta(const wchar_t* name) const { return ReadWholeFile(Meta(name)); }
    bool Exists(const wchar_t* name) const { return GetFileAttributesW(Meta(name).c_str()) != INVALID_FILE_ATTRIBUTES; }

    test::TempDir dir_;
    Updater updater_;
};

void ExpectSameState(const InstalledState& actual, const InstalledState& expected, const std::string& label) {
    EXPECT_EQ(actual.buildId, expected.buildId) << label;
    ASSERT_EQ(actual.files.size(), expected.files.size()) << label;
    for (const auto& [path, file] : expected.files) {
        const auto found = actual.files.find(path);
        ASSERT_NE(found, actual.files.end()) << label << ": " << path;
        EXPECT_EQ(found->second.sha256, file.sha256) << label << ": " << path;
        EXPECT_EQ(found->second.size, file.size) << label << ": " << path;
    }
}

TEST_F(InstallState, MetadataFolderIsInsideTheInstallFolder) {
    EXPECT_EQ(updater_.MetadataDir(), dir_.path() + L"\\.vklauncher");
    EXPECT_EQ(Meta(kInstalledStateFile), dir_.path() + L"\\.vklauncher\\installed.json");
}

TEST_F(InstallState, InstalledJsonIsWrittenByteForByteAndReadBack) {
    struct Case {
        InstalledState state;
        std::string text;
    };
    const Case cases[] = {
        {{"", {}}, "{\n  \"build_id\": \"\",\n  \"files\": {\n  }\n}\n"},
        {{"b-17", {{"Velkar.exe", {kDigestA, 5}}}},
         "{\n  \"build_id\": \"b-17\",\n  \"files\": {\n"
         "    \"Velkar.exe\": {\"sha256\": \"" + kDigestA + "\", \"size\": 5}\n"
         "  }\n}\n"},
        // Map order is byte order of the path: upper-case letters sort before lower-case ones.
        {{"b-18", {{"velkar/a.pak", {kDigestB, 9000000000000000u}}, {"Velkar/Z.pak", {kDigestC, 0}}}},
         "{\n  \"build_id\": \"b-18\",\n  \"files\": {\n"
         "    \"Velkar/Z.pak\": {\"sha256\": \"" + kDigestC + "\", \"size\": 0},\n"
         "    \"velkar/a.pak\": {\"sha256\": \"" + kDigestB + "\", \"size\": 9000000000000000}\n"
         "  }\n}\n"},
    };
    for (const Case& c : cases) {
        updater_.SaveInstalledState(c.state);
        EXPECT_EQ(ReadMeta(kInstalledStateFile), c.text);
        EXPECT_FALSE(Exists(L"installed.json.tmp"));
        ExpectSameState(updater_.LoadInstalledState(), c.state, c.text);
    }
}

TEST_F(InstallState, PathsWithQuotesAndControlBytesRoundTrip) {
    const std::string path = "Velkar/a\"b\x01\tc\\d/\xe5\x9c\xb0\xe5\x9b\xbe.pak";
    const InstalledState state{"b\"1", {{path, {kDigestA, 42}}}};
    updater_.SaveInstalledState(state);
    EXPECT_NE(ReadMeta(kInstalledStateFile).find("\"Velkar/a\\\"b\\u0001\\tc\\\\d/\xe5\x9c\xb0\xe5\x9b\xbe.pak\": {"),
              std::string::npos)
        << ReadMeta(kInstalledStateFile);
    ExpectSameState(updater_.LoadInstalledState(), state, "escaped path");
}

TEST_F(InstallState, InstalledStateReaderNeverFails) {
    struct Case {
        std::optional<std::string> text;  // nullopt: no file
        InstalledState expected;
    };
    const Case cases[] = {
        {std::nullopt, {}},
        {"", {}},
        {"not json", {}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"sha256\": \"" + kDigestA + "\", \"size\": 1}", {}},
        // One entry without "size" discards the whole record, not just that entry.
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"sha256\": \"" + kDigestA +
             "\", \"size\": 1}, \"b\": {\"sha256\": \"" + kDigestB + "\"}}}",
         {}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"sha256\": 7, \"size\": 1}}}", {}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"sha256\": \"x\", \"size\": -1}}}", {}},
        {"{\"build_id\": 5, \"files\": {}}", {}},
        {"{\"files\": {}}", {}},
        {"{\"build_id\": \"b1\"}", {}},
        {"[1, 2]", {}},
        {"{\"build_id\": \"b1\", \"files\": []}", {"b1", {}}},
        {"{\"build_id\": \"b1\", \"extra\": true, \"files\": {\"a\": {\"sha256\": \"x\", \"size\": 1, \"more\": 0}, "
         "\"a\": {\"sha256\": \"y\", \"size\": 2}}}",
         {"b1", {{"a", {"y", 2}}}}},
        // The first member of a name counts, at every level.
        {"{\"build_id\": \"b1\", \"build_id\": 5, \"files\": {}}", {"b1", {}}},
        {"{\"build_id\": 5, \"build_id\": \"b1\", \"files\": {}}", {}},
        {"{\"build_id\": \"b1\", \"files\": 5, \"files\": {\"a\": {\"sha256\": \"x\", \"size\": 1}}}", {"b1", {}}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"sha256\": \"x\", \"sha256\": 5, \"size\": 1, \"size\": -1}}}",
         {"b1", {{"a", {"x", 1}}}}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": {\"size\": 1, \"sha256\": 5, \"sha256\": \"x\"}}}", {}},
        {"{\"build_id\": \"b1\", \"files\": {\"a\": [\"sha256\", \"x\", \"size\", 1]}}", {}},
        {"{\"files\": {\"a\\/b\": {\"size\": 2.5, \"sha256\": \"\\u0078\"}}, \"build_id\": \"b\\u0031\"}",
         {"b1", {{"a/b", {"x", 2}}}}},
        // The whole text must be JSON, also where nothing is read.
        {"{\"build_id\": \"b1\", \"files\": {}} x", {}},
        {"{\"build_id\": \"b1\", \"files\": {}, \"x\": [}", {}},
        {"{\"build_id\": \"b1\", \"x\": " + std::string(511, '[') + std::string(511, ']') + ", \"files\": {}}",
         {"b1", {}}},
        {"{\"build_id\": \"b1\", \"x\": " + std::string(512, '[') + std::string(512, ']') + ", \"files\": {}}", {}},
        {"{\"build_id\": \"b1\", \"x\": \"\\q\", \"files\": {}}", {}},
    };
    for (const Case& c : cases) {
        DeleteFileW(Meta(kInstalledStateFile).c_str());
        if (c.text) WriteMeta(kInstalledStateFile, *c.text);
        ExpectSameState(updater_.LoadInstalledState(), c.expected, c.text.value_or("(no file)"));
    }
    // A folder where the file should be reads as nothing, too.
    DeleteFileW(Meta(kInstalledStateFile).c_str());
    CreateDirectories(Meta(kInstalledStateFile));
    ExpectSameState(updater_.LoadInstalledState(), {}, "folder");
}

// The record as the document model gives it, the reference of the one-pass reader: the whole text
// parsed, then "build_id" and each entry of "files" taken from the model.
std::optional<InstalledState> ModelReading(const std::string& text) {
    try {
        const JsonValue document = ParseJson(text);
        InstalledState state;
        state.buildId = StringField(document, "build_id");
        for (const auto& [path, entry] : RequireField(document, "files").members) {
            state.files.insert_or_assign(path, InstalledFile{StringField(entry, "sha256"), UIntField(entry, "size")});
        }
        return state;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<InstalledState> OnePassReading(const std::string& text) {
    try {
        return ParseInstalledState(text);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::string Shown(const std::optional<InstalledState>& state) {
    if (!state) return "unreadable";
    std::string text = "build " + state->buildId;
    for (const auto& [path, file] : state->files) {
        text += " | " + path + " " + file.sha256 + " " + std::to_string(file.size);
    }
    return text;
}

void ExpectReadAsTheModelReadsIt(const std::string& text) {
    EXPECT_EQ(Shown(OnePassReading(text)), Shown(ModelReading(text))) << text;
}

TEST(InstalledStateReader, ReadsEveryTextAsTheDocumentModelDoes) {
    const std::string sample = R"({"extra": [1.5e3, null, {"k": "\u00e9"}], "build_id": "b\u0031", "files": {)"
                               R"("Velkar/\ud83d\ude00.pak": {"sha256": ")" +
                               kDigestA +
                               R"(", "size": 12, "x": [true]}, )"
                               R"("a": {"size": 2.5, "sha256": ")" +
                               kDigestB +
                               R"("}, )"
                               R"("a": {"sha256": ")" +
                               kDigestC + R"(", "size": 3}}, "files": 7})";
    ASSERT_EQ(Shown(OnePassReading(sample)),
              "build b1 | Velkar/\xf0\x9f\x98\x80.pak " + kDigestA + " 12 | a " + kDigestC + " 3");
    // Every truncation, and damaged copies with bytes that matter to JSON anywhere.
    for (std::size_t length = 0; length <= sample.size(); ++length) {
        ExpectReadAsTheModelReadsIt(sample.substr(0, length));
    }
    for (const std::string& text : test::DamagedCopies(sample, 4000, 20261211)) ExpectReadAsTheModelReadsIt(text);
    // Unreadable values and deep nesting in every place the reader looks at or passes over.
    const std::string places[] = {
        "{\"x\": VALUE, \"build_id\": \"b\", \"files\": {}}",
        "{\"build_id\": VALUE, \"files\": {}}",
        "{\"build_id\": \"b\", \"files\": VALUE}",
        "{\"build_id\": \"b\", \"files\": {\"a\": VALUE}}",
        "{\"build_id\": \"b\", \"files\": {\"a\": {\"sha256\": \"x\", \"size\": VALUE}}}",
        "{\"build_id\": \"b\", \"files\": {\"a\": {\"sha256\": \"x\", \"size\": 1, \"y\": VALUE}}}",
        "VALUE"};
    std::vector<std::string> values = test::TroublesomeValues();
    values.insert(values.end(), {"-1", "2.5e300", R"({"sha256": "x", "size": 1})"});
    for (const std::string& place : places) {
        for (const std::string& value : values) {
            std::string text = place;
            text.replace(text.find("VALUE"), 5, value);
            ExpectReadAsTheModelReadsIt(text);
        }
    }
}

// A valid document padded with blanks to one byte over the cap.
std::string Oversized(const std::string& document, std::uint64_t limit) {
    return document + std::string(limit + 1 - document.size(), ' ');
}

TEST_F(InstallState, OversizedStateFilesReadLikeMalformedOnes) {
    // request.json comes from another program: a huge one must not exhaust the launcher's memory.
    WriteMeta(kInstalledStateFile, Oversized("{\"build_id\": \"b1\", \"files\": {}}", kWholeFileLimit));
    ExpectSameState(updater_.LoadInstalledState(), {}, "installed.json");
    WriteMeta(kGroupsFile, Oversized("{\"groups\": [\"island\"]}", kSmallFileLimit));
    WriteMeta(kRequestFile, Oversized("{\"groups\": [\"hd\"]}", kSmallFileLimit));
    EXPECT_EQ(updater_.LoadSelectedGroups(), std::set<std::string>{});
    EXPECT_FALSE(Exists(kRequestFile));
}

TEST_F(InstallState, GroupsFileKeepsOnlyNonEmptyStrings) {
    struct Case {
        std::string text;
        std::set<std::string> groups;
    };
    const Case cases[] = {
        {"{\"groups\": [\"island\", \"\", 7, \"island\"]}", {"island"}},
        {"{\"groups\": [\"island\", null, [\"hd\"], {\"x\": 1}, \"hd\"]}\n", {"hd", "island"}},
        {"{\"groups\": \"island\"}", {}},
        {"{\"other\": [\"island\"]}", {}},
        {"[\"island\"]", {}},
        {"{\"groups\": [\"island\"", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        WriteMeta(kGroupsFile, c.text);
        EXPECT_EQ(updater_.LoadSelectedGroups(), c.groups) << c.text;
        EXPECT_EQ(ReadMeta(kGroupsFile), c.text) << "reading never rewrites groups.json";
    }
}

TEST_F(InstallState, SelectGroupWritesTheSortedSet) {
    EXPECT_TRUE(updater_.LoadSelectedGroups().empty());
    EXPECT_FALSE(Exists(kGroupsFile));
    const struct {
        std::string name;
        std::string text;
    } steps[] = {
        {"island", "{\"groups\": [\"island\"]}\n"},
        {"Hd \"x\"", "{\"groups\": [\"Hd \\\"x\\\"\", \"island\"]}\n"},
        {"island", "{\"groups\": [\"Hd \\\"x\\\"\", \"island\"]}\n"},
    };
    for (const auto& step : steps) {
        updater_.SelectGroup(step.name);
        EXPECT_EQ(ReadMeta(kGroupsFile), step.text) << step.name;
    }
    EXPECT_EQ(updater_.LoadSelectedGroups(), (std::set<std::string>{"Hd \"x\"", "island"}));
    EXPECT_EQ(GroupsText({}), "{\"groups\": []}\n");
}

TEST_F(InstallState, RequestIsMergedIntoGroupsAndDeleted) {
    struct Case {
        std::optional<std::string> groupsBefore;
        std::string request;
        std::set<std::string> groups;
        std::string groupsAfter;
    };
    const Case cases[] = {
        {"{\"groups\":[\"island\"]}", "{\"groups\": [\"hd\", \"island\"]}", {"hd", "island"},
         "{\"groups\": [\"hd\", \"island\"]}\n"},
        {std::nullopt, "{\"groups\": [\"island\"]}", {"island"}, "{\"groups\": [\"island\"]}\n"},
        // An unparsable or empty request still counts as handled: the old groups are written back.
        {"{\"groups\":[\"island\"]}", "{\"groups\": [", {"island"}, "{\"groups\": [\"island\"]}\n"},
        {std::nullopt, "", {}, "{\"groups\": []}\n"},
    };
    for (const Case& c : cases) {
        DeleteFileW(Meta(kGroupsFile).c_str());
        if (c.groupsBefore) WriteMeta(kGroupsFile, *c.groupsBefore);
        WriteMeta(kRequestFile, c.request);
        EXPECT_TRUE(updater_.HasPendingRequest()) << c.request;
        EXPECT_EQ(updater_.LoadSelectedGroups(), c.groups) << c.request;
        EXPECT_EQ(ReadMeta(kGroupsFile), c.groupsAfter) << c.request;
        EXPECT_FALSE(Exists(kRequestFile)) << c.request;
        EXPECT_FALSE(updater_.HasPendingRequest()) << c.request;
        EXPECT_EQ(updater_.LoadSelectedGroups(), c.groups) << c.request;
    }
}

TEST_F(InstallState, RequestFolderIsNotARequest) {
    WriteMeta(kGroupsFile, "{\"groups\":[\"island\"]}");
    CreateDirectories(Meta(kRequestFile));
    EXPECT_FALSE(updater_.HasPendingRequest());
    EXPECT_EQ(updater_.LoadSelectedGroups(), (std::set<std::string>{"island"}));
    EXPECT_EQ(ReadMeta(kGroupsFile), "{\"groups\":[\"island\"]}");
    EXPECT_NE(GetFileAttributesW(Meta(kRequestFile).c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(InstallState, MergeFailsWhenGroupsCannotBeWrittenAndKeepsTheRequest) {
    WriteMeta(kRequestFile, "{\"groups\": [\"island\"]}");
    WriteMeta(kGroupsFile, "{\"groups\": [\"hd\"]}");
    {
        // Held without delete sharing, groups.json cannot be replaced.
        UniqueHandle holder(CreateFileW(Meta(kGroupsFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.valid());
        try {
            updater_.LoadSelectedGroups();
            FAIL() << "not thrown";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("无法替换 ", 0), 0u) << e.what();
            EXPECT_NE(std::string(e.what()).find("groups.json："), std::string::npos) << e.what();
        }
    }
    EXPECT_TRUE(Exists(kRequestFile));
    EXPECT_EQ(ReadMeta(kGroupsFile), "{\"groups\": [\"hd\"]}");
    EXPECT_EQ(updater_.LoadSelectedGroups(), (std::set<std::string>{"hd", "island"}));
}

TEST_F(InstallState, SaveFailureKeepsThePreviousRecord) {
    const InstalledState before{"b1", {{"Velkar.exe", {kDigestA, 5}}}};
    updater_.SaveInstalledState(before);
    {
        UniqueHandle holder(CreateFileW(Meta(kInstalledStateFile).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(holder.valid());
        EXPECT_THROW(updater_.SaveInstalledState({"b2", {}}), std::runtime_error);
    }
    ExpectSameState(updater_.LoadInstalledState(), before, "after failed save");
}

RemoteRelease MakeRelease(const std::string& buildId, std::vector<ReleaseFile> files) {
    RemoteRelease release;
    release.buildId = buildId;
    release.files = std::move(files);
    return release;
}

TEST_F(InstallState, AgainstAReleaseARequestAddsOnlyTheGroupsItDefines) {
    const RemoteRelease release =
        MakeRelease("b1", {{"Velkar.exe", 5, kDigestA, "", {}}, {"Island/i.pak", 5, kDigestA, "island", {}}});
    WriteMeta(kGroupsFile, "{\"groups\": [\"old\"]}");
    WriteMeta(kRequestFile, "{\"groups\": [\"island\", \"hd\", \"..\\\\x\"]}");
    // What groups.json already holds stays; the request cannot add what the release does not know.
    EXPECT_EQ(updater_.LoadSelectedGroups(release), (std::set<std::string>{"island", "old"}));
    EXPECT_EQ(ReadMeta(kGroupsFile), "{\"groups\": [\"island\", \"old\"]}\n");
    EXPECT_FALSE(Exists(kRequestFile));
}

TEST_F(InstallState, IsUpToDateComparesBuildAndDigestsOfSelectedFiles) {
    const RemoteRelease release = MakeRelease("b2", {{"Velkar.exe", 5, kDigestA, "", {}},
                                                     {"Velkar/Content/Paks/base.pak", 9, kDigestB, "", {}},
                                                     {"Velkar/Content/Paks/island.pak", 7, kDigestC, "island", {}}});
    const InstalledState complete{"b2",
                                  {{"Velkar.exe", {kDigestA, 5}},
                                   {"Velkar/Content/Paks/base.pak", {kDigestB, 9}},
                                   {"Velkar/Content/Paks/island.pak", {kDigestC, 7}}}};
    struct Case {
        const char* label;
        bool selectIsland;
        InstalledState installed;
        bool upToDate;
    };
    auto without = [&](const std::string& path) {
        InstalledState state = complete;
        state.files.erase(path);
        return state;
    };
    auto renamed = [&](const std::string& from, const std::string& to) {
        InstalledState state = without(from);
        state.files[to] = complete.files.at(from);
        return state;
    };
    auto with = [&](const std::string& path, InstalledFile file) {
        InstalledState state = complete;
        state.files[path] = file;
        return state;
    };
    const Case cases[] = {
        {"complete", false, complete, true},
        {"complete, island selected", true, complete, true},
        {"other build", false, {"b1", complete.files}, false},
        {"unfinished update", false, {"", complete.files}, false},
        {"base file missing", false, without("Velkar.exe"), false},
        {"path differs in letter case", false, renamed("Velkar.exe", "velkar.exe"), false},
        {"right size, other digest", false, with("Velkar.exe", {kDigestB, 5}), false},
        {"other size, right digest", false, with("Velkar.exe", {kDigestA, 6}), true},
        {"unselected group missing", false, without("Velkar/Content/Paks/island.pak"), true},
        {"selected group missing", true, without("Velkar/Content/Paks/island.pak"), false},
        {"selected group changed", true, with("Velkar/Content/Paks/island.pak", {kDigestA, 7}), false},
    };
    for (const Case& c : cases) {
        DeleteFileW(Meta(kGroupsFile).c_str());
        if (c.selectIsland) updater_.SelectGroup("island");
        EXPECT_EQ(updater_.IsUpToDate(release, c.installed), c.upToDate) << c.label;
    }
    // A pending request is merged first: a group asked for by the game is then required.
    DeleteFileW(Meta(kGroupsFile).c_str());
    WriteMeta(kRequestFile, "{\"groups\": [\"island\"]}");
    EXPECT_FALSE(updater_.IsUpToDate(release, without("Velkar/Content/Paks/island.pak")));
    EXPECT_FALSE(Exists(kRequestFile));
}

TEST_F(InstallState, InstallInfoIsWrittenByteForByte) {
    const RemoteRelease release = [] {
        RemoteRelease r = MakeRelease("b2", {{"Velkar.exe", 5, kDigestA, "", {}},
                                             {"Velkar/Content/Paks/island1.pak", 100, kDigestB, "island", {}},
                                             {"Velkar/Content/Paks/hd.pak", 7, kDigestC, "hd", {}},
                                             {"Velkar/Content/Paks/island2.pak", 23, kDigestC, "island", {}}});
        r.manifestText = "{\r\n  \"build_id\": \"b2\"\r\n}";
        r.manifestText += std::string("\0\xff", 2);
        r.signatureText = std::string("\x01\x02\0sig", 6);
        return r;
    }();
    // The game asked for hd; island is offered but not selected.
    WriteMeta(kRequestFile, "{\"groups\": [\"hd\"]}");
    const std::wstring launcher = L"C:\\Games\\Velkar \x542F\x52A8\x5668\\VelkarLauncher.exe";
    updater_.WriteInstallInfo(release, launcher);
    EXPECT_EQ(ReadMeta(kOptionalFile),
              "{\n"
              "  \"hd\": {\"bytes\": 7, \"enabled\": true},\n"
              "  \"island\": {\"bytes\": 123, \"enabled\": false}\n"
              "}\n");
    EXPECT_EQ(ReadMeta(kLauncherPathFile),
              "C:\\Games\\Velkar \xe5\x90\xaf\xe5\x8a\xa8\xe5\x99\xa8\\VelkarLauncher.exe");
    EXPECT_EQ(ReadMeta(kChannelFile), release.manifestText);
    EXPECT_EQ(ReadMeta(kChannelSignatureFile), release.signatureText);
    EXPECT_FALSE(Exists(kRequestFile));

    // Without groups, optional.json is an empty object; every file is rewritten whole.
    updater_.WriteInstallInfo(MakeRelease("b3", {{"Velkar.exe", 5, kDigestA, "", {}}}), L"D:\\L.exe");
    EXPECT_EQ(ReadMeta(kOptionalFile), "{\n}\n");
    EXPECT_EQ(ReadMeta(kLauncherPathFile), "D:\\L.exe");
    EXPECT_EQ(ReadMeta(kChannelFile), "");
    EXPECT_EQ(ReadMeta(kChannelSignatureFile), "");
}

TEST_F(InstallState, RepairRequestIsAFileThatCanBeCleared) {
    struct Case {
        const char* label;
        bool repairFile;
        bool repairFolder;
        bool requestFile;
        bool repair;
        bool pending;
    };
    const Case cases[] = {
        {"nothing", false, false, false, false, false},
        {"repair.request", true, false, false, true, true},
        {"repair.request folder", false, true, false, false, false},
        {"request.json", false, false, true, false, true},
        {"both", true, false, true, true, true},
    };
    for (const Case& c : cases) {
        test::TempDir install;
        Updater updater;
        updater.installDir = install.path();
        if (c.repairFile) test::WriteTestFile(MetadataPath(updater, kRepairRequestFile), "");
        if (c.repairFolder) CreateDirectories(MetadataPath(updater, kRepairRequestFile));
        if (c.requestFile) test::WriteTestFile(MetadataPath(updater, kRequestFile), "{}");
        EXPECT_EQ(updater.RepairRequested(), c.repair) << c.label;
        EXPECT_EQ(updater.HasPendingRequest(), c.pending) << c.label;
        updater.ClearRepairRequest();
        EXPECT_FALSE(updater.RepairRequested()) << c.label;
        EXPECT_EQ(updater.HasPendingRequest(), c.requestFile) << c.label;
    }
}

}  // namespace
}  // namespace vk
