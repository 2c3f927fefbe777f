#include "engine/release_documents_portable.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>

#include "infra/json_portable.h"
#include "infra/language_portable.h"
#include "support/json_texts.h"

namespace vk {
namespace {

const std::string kShaA(64, 'a');
const std::string kShaB(64, 'b');
const std::string kShaC(64, 'c');
// As JSON text: "..\..\..\" and a name, 64 characters once read.
const std::string kClimbingDigest = R"(..\\..\\..\\)" + std::string(55, 'x');


ReleaseList SampleList() {
    ReleaseList list;
    list.buildId = "b7";
    list.projectVersion = "1.2.3";
    list.launchPath = "Velkar.exe";
    list.launchArgs = {"-log", "say \"hi\"\tnow"};
    // Deliberately out of order: the writer sorts by path bytes.
    list.files.push_back(ReleaseFile{"Velkar/Content/Paks/island.pak", 42, kShaB, "island", BlobRef{kShaC, 100}});
    list.files.push_back(ReleaseFile{"Velkar.exe", 1000, kShaA, "", std::nullopt});
    list.files.push_back(ReleaseFile{"Engine/é.dll", 0, kShaC, "", std::nullopt});
    return list;
}

ChannelManifest SampleManifest() {
    ChannelManifest manifest;
    manifest.channel = "live";
    manifest.release = "releases/b7.json";
    manifest.releaseBlob.sha256 = kShaA;
    manifest.releaseBlob.size = 812;
    manifest.buildId = "b7";
    manifest.minLauncherVersion = "2.4.0";
    return manifest;
}

TEST(DocumentsTest, ReleaseListHasItsFixedLayout) {
    const std::string expected =
        "{\n"
        "  \"schema\": 1,\n"
        "  \"platform\": \"windows\",\n"
        "  \"build_id\": \"b7\",\n"
        "  \"project_version\": \"1.2.3\",\n"
        "  \"launch\": {\n"
        "    \"path\": \"Velkar.exe\",\n"
        "    \"args\": [\"-log\", \"say \\\"hi\\\"\\tnow\"]\n"
        "  },\n"
        "  \"files\": [\n"
        "    {\"path\": \"Engine/é.dll\", \"size\": 0, \"sha256\": \"" +
        kShaC +
        "\"},\n"
        "    {\"path\": \"Velkar.exe\", \"size\": 1000, \"sha256\": \"" +
        kShaA +
        "\"},\n"
        "    {\"path\": \"Velkar/Content/Paks/island.pak\", \"size\": 42, \"sha256\": \"" +
        kShaB + "\", \"group\": \"island\", \"chunks\": {\"sha256\": \"" + kShaC +
        "\", \"size\": 100}}\n"
        "  ]\n"
        "}\n";
    EXPECT_EQ(ReleaseListJson(SampleList()), expected);
}

TEST(DocumentsTest, AReleaseListCarriesTheTimeItWasFirstPublished) {
    ReleaseList list = SampleList();
    list.published = "2026-12-10T11:46:17Z";
    const std::string text = ReleaseListJson(list);
    EXPECT_NE(text.find("  \"project_version\": \"1.2.3\",\n  \"published\": \"2026-12-10T11:46:17Z\",\n  \"launch\""),
              std::string::npos)
        << text;
    std::vector<std::string> problems;
    EXPECT_EQ(ReadReleaseList(text, problems).published, "2026-12-10T11:46:17Z");
    // Only a date for the publisher's listing: one it cannot read is left out, never a problem.
    std::string garbled = text;
    garbled.replace(garbled.find("2026-12-10T11:46:17Z"), 20, "next week");
    EXPECT_EQ(ReadReleaseList(garbled, problems).published, "");
    EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST(DocumentsTest, EmptyReleaseListStillHasEveryMember) {
    ReleaseList list;
    list.buildId = "empty";
    list.projectVersion = "0";
    list.launchPath = "a.exe";
    const std::string text = ReleaseListJson(list);
    EXPECT_NE(text.find("\"args\": []"), std::string::npos) << text;
    EXPECT_NE(text.find("\"files\": []"), std::string::npos) << text;
    const JsonValue root = ParseJson(text);
    EXPECT_EQ(RequireField(root, "files").type, JsonType::Array);
}

TEST(DocumentsTest, ManifestHasItsFixedLayout) {
    ChannelManifest manifest = SampleManifest();
    EXPECT_EQ(ManifestJson(manifest),
              "{\n"
              "  \"schema\": 1,\n"
              "  \"platform\": \"windows\",\n"
              "  \"channel\": \"live\",\n"
              "  \"release\": \"releases/b7.json\",\n"
              "  \"release_size\": 812,\n"
              "  \"release_sha256\": \"" + kShaA + "\",\n"
              "  \"build_id\": \"b7\",\n"
              "  \"min_launcher_version\": \"2.4.0\"\n"
              "}\n");
    manifest.sequence = 12;
    manifest.published = "2026-12-10T11:46:17Z";
    manifest.expires = "2026-12-17T11:46:17Z";
    manifest.launcher = LauncherOffer{"2.5.0", {kShaB, 5000000}};
    manifest.banner = BlobRef{kShaC, 300000};
    const std::string text = ManifestJson(manifest);
    EXPECT_NE(text.find("  \"min_launcher_version\": \"2.4.0\",\n"
                        "  \"sequence\": 12,\n"
                        "  \"published\": \"2026-12-10T11:46:17Z\",\n"
                        "  \"expires\": \"2026-12-17T11:46:17Z\",\n"
                        "  \"launcher\": {\"version\": \"2.5.0\", \"sha256\": \"" +
                        kShaB +
                        "\", \"size\": 5000000},\n"
                        "  \"banner\": {\"sha256\": \"" +
                        kShaC +
                        "\", \"size\": 300000}\n"
                        "}\n"),
              std::string::npos)
        << text;
}

TEST(DocumentsTest, WrittenDocumentsReadBackWithoutProblems) {
    std::vector<std::string> problems;
    const ReleaseList list = ReadReleaseList(ReleaseListJson(SampleList()), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(list.buildId, "b7");
    EXPECT_EQ(list.launchArgs, SampleList().launchArgs);
    ASSERT_EQ(list.files.size(), 3u);
    EXPECT_EQ(list.files[2].path, "Velkar/Content/Paks/island.pak");
    EXPECT_EQ(list.files[2].group, "island");
    EXPECT_EQ(list.files[2].size, 42u);
    ASSERT_TRUE(list.files[2].chunks);
    EXPECT_EQ(list.files[2].chunks->sha256, kShaC);
    EXPECT_EQ(list.files[2].chunks->size, 100u);
    EXPECT_FALSE(list.files[1].chunks);

    ChannelManifest written = SampleManifest();
    written.minLauncherVersion = "2.4.1";
    written.launcher = LauncherOffer{"2.5", {kShaB, 2}};
    written.banner = BlobRef{kShaC, 3};
    written.sequence = 7;
    written.published = "2026-12-10T11:46:17Z";
    written.expires = "2027-01-09T11:46:17Z";
    const ChannelManifest read = ReadManifest(ManifestJson(written), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(read.minLauncherVersion, "2.4.1");
    EXPECT_EQ(read.sequence, std::optional<std::uint64_t>{7});
    EXPECT_EQ(read.published, "2026-12-10T11:46:17Z");
    EXPECT_EQ(read.expires, "2027-01-09T11:46:17Z");
    EXPECT_EQ(ReadManifest(ManifestJson(SampleManifest()), problems).expires, "");  // nor an expiry
    EXPECT_FALSE(ReadManifest(ManifestJson(SampleManifest()), problems).sequence);  // older stores have none
    ASSERT_TRUE(read.launcher && read.banner);
    EXPECT_EQ(read.launcher->version, "2.5");
    EXPECT_EQ(read.launcher->blob.sha256, kShaB);
    EXPECT_EQ(read.banner->size, 3u);
}

struct ListCase {
    const char* what;
    std::string files;
    std::string problem;    // a piece of the one expected problem line
    bool launcherRefuses;   // the launcher's reading (no problem list) throws instead of reading on
};

TEST(DocumentsTest, ListReaderReportsWhatTheLauncherWouldRefuse) {
    const std::string sha = "\"sha256\": \"" + kShaA + "\"";
    const ListCase cases[] = {
        {"path rule", R"({"path": "Velkar/Saved/x", "size": 1, )" + sha + "}", "refuses this path", true},
        {"upper-case digest", R"({"path": "a", "size": 1, "sha256": ")" + std::string(64, 'A') + "\"}", "lower-case",
         false},
        {"short digest", R"({"path": "a", "size": 1, "sha256": "abc"})", "lower-case", true},
        // 64 bytes that would name a file outside the download store.
        {"digest with a path", R"({"path": "a", "size": 1, "sha256": ")" + kClimbingDigest + "\"}", "lower-case", true},
        {"digest with a slash", R"({"path": "a", "size": 1, "sha256": ")" + std::string(63, 'a') + "/\"}", "lower-case",
         true},
        {"same path in other case",
         R"({"path": "Velkar/A.pak", "size": 1, )" + sha + R"(}, {"path": "velkar/a.pak", "size": 1, )" + sha + "}",
         "listed twice", true},
        {"missing size", R"({"path": "a", )" + sha + "}", "size", true},
        {"not an object", "5", "path", true},
        {"numeric group", R"({"path": "a", "size": 1, "group": 5, )" + sha + "}", "group", false},
        // A launcher that cannot use a file's chunk index fetches the file whole.
        {"chunks not an object", R"({"path": "a", "size": 1, "chunks": 5, )" + sha + "}",
         "\"chunks\" is ignored by the launcher: not an object", false},
        {"chunks with a short digest",
         R"({"path": "a", "size": 1, "chunks": {"sha256": "ab", "size": 9}, )" + sha + "}",
         "\"chunks\" is ignored by the launcher: needs a lower-case SHA-256", false},
        {"chunks without a size", R"({"path": "a", "size": 1, "chunks": {)" + sha + "}, " + sha + "}", "size", false},
    };
    for (const ListCase& c : cases) {
        const std::string text = R"({"schema": 1, "platform": "windows", "build_id": "b", "project_version": "1",
            "launch": {"path": "a", "args": []}, "files": [)" + c.files + "]}";
        std::vector<std::string> problems;
        ReadReleaseList(text, problems);
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_NE(problems[0].find(c.problem), std::string::npos) << c.what << ": " << problems[0];
        if (c.launcherRefuses) {
            EXPECT_THROW(ReadReleaseList(ParseReleaseList(text), nullptr), std::runtime_error) << c.what;
        } else {
            EXPECT_EQ(ReadReleaseList(ParseReleaseList(text), nullptr).files.size(), 1u) << c.what;
        }
    }
}

TEST(DocumentsTest, AManifestForAnotherChannelOrPlatformIsRefused) {
    const std::string body = R"("release": "r.json", "release_size": 1, "release_sha256": ")" + kShaA +
                             R"(", "build_id": "b", "min_launcher_version": "2.4.0"})";
    const std::string live = R"({"schema": 1, "platform": "windows", "channel": "live", )" + body;
    const std::string mac = R"({"schema": 1, "platform": "mac", "channel": "live", )" + body;
    EXPECT_EQ(ReadManifest(ParseJson(live), "live", nullptr).channel, "live");
    EXPECT_THROW(ReadManifest(ParseJson(live), "beta", nullptr), std::runtime_error);
    EXPECT_THROW(ReadManifest(ParseJson(mac), "live", nullptr), std::runtime_error);
    std::vector<std::string> problems;
    ReadManifest(ParseJson(mac), "beta", &problems);
    EXPECT_EQ(problems, (std::vector<std::string>{"manifest: \"platform\" is not \"windows\"",
                                                  "manifest: \"channel\" is not beta"}));
}

// A time the launcher cannot read would make a manifest that never expires: the launcher refuses it.
TEST(DocumentsTest, AnExpiryThatIsNoTimeIsRefused) {
    const std::string head = R"({"schema": 1, "platform": "windows", "channel": "live", "release": "r.json",
        "release_size": 1, "release_sha256": ")" +
                             kShaA + R"(", "build_id": "b", "min_launcher_version": "2.4.0")";
    for (const std::string expires : {"tomorrow", "2026-12-17", "2026-02-30T00:00:00Z"}) {
        const std::string text = head + R"(, "expires": ")" + expires + R"("})";
        EXPECT_THROW(ReadManifest(ParseJson(text), "live", nullptr), std::runtime_error) << expires;
        std::vector<std::string> problems;
        ReadManifest(text, problems);
        EXPECT_EQ(problems,
                  std::vector<std::string>{"manifest: \"expires\" is not a UTC time such as 2026-12-10T11:46:17Z"})
            << expires;
    }
}

TEST(DocumentsTest, ManifestReaderReportsEntriesTheLauncherIgnores) {
    const std::string head = R"({"schema": 1, "platform": "windows", "channel": "live", "release": "r.json",
        "release_size": 1, "release_sha256": ")" + kShaA + R"(", "build_id": "b", "min_launcher_version": "2.4.0")";
    const std::string cases[] = {
        R"("launcher": {"version": "2.5", "sha256": ")" + std::string(64, 'A') + R"(", "size": 5})",
        R"("launcher": {"version": "2.5", "sha256": ")" + kShaB + R"(", "size": 0})",
        R"("launcher": {"sha256": ")" + kShaB + R"(", "size": 5})",
        R"("launcher": [1])",
        R"("banner": {"sha256": ")" + kShaB + R"(", "size": 0})",
        R"("launcher": {"version": "2.5", "sha256": ")" + kClimbingDigest + R"(", "size": 5})",
        R"("banner": {"sha256": ")" + kClimbingDigest + R"(", "size": 5})",
    };
    for (const std::string& entry : cases) {
        std::vector<std::string> problems;
        const ChannelManifest manifest = ReadManifest(head + ", " + entry + "}", problems);
        EXPECT_FALSE(manifest.launcher || manifest.banner) << entry;
        ASSERT_EQ(problems.size(), 1u) << entry;
        EXPECT_NE(problems[0].find("ignored by the launcher"), std::string::npos) << problems[0];
    }
}

TEST(DocumentsTest, UnusableDocumentsThrow) {
    std::vector<std::string> problems;
    EXPECT_THROW(ReadManifest("{", problems), std::runtime_error);
    EXPECT_THROW(ReadManifest(R"({"schema": 1, "platform": "windows"})", problems), std::runtime_error);
    EXPECT_THROW(ReadReleaseList(R"({"schema": 1, "platform": "windows", "build_id": "b", "project_version": "1",
        "launch": {"path": "a", "args": []}, "files": {}})", problems), std::runtime_error);
}

// --- The release list's one-pass reader ---

const std::string kListHead = R"({"schema": 1, "platform": "windows", "build_id": "b", "project_version": "1",
    "launch": {"path": "Velkar.exe", "args": ["-log"]}, )";

std::string Entry(const std::string& path, const std::string& rest = "") {
    return R"({"path": ")" + path + R"(", "size": 3, "sha256": ")" + kShaA + "\"" + rest + "}";
}

// What a failure threw: its type and text.
std::string Thrown(const std::exception& e) { return std::string(typeid(e).name()) + ": " + e.what(); }

// What the launcher makes of a list: "ok" and each file's path (with "@group"), or the failure.
std::string LauncherReading(const std::string& text) {
    try {
        std::string outcome = "ok";
        for (const ReleaseFile& file : ReadReleaseList(ParseReleaseList(text), nullptr).files) {
            outcome += " " + file.path + (file.group.empty() ? "" : "@" + file.group);
        }
        return outcome;
    } catch (const std::exception& e) {
        return e.what();
    }
}

struct ReadingCase {
    const char* what;
    std::string text;
    std::string outcome;
};

TEST(ReleaseListReader, TheLauncherReadsAndRefusesListsAsTheModelDid) {
    const bool english = useEnglish;
    useEnglish = true;
    const std::string sha = R"("sha256": ")" + kShaA + "\"";
    const std::string broken = kListHead + R"("files": [)" + Entry("/x") + "], }";
    const ReadingCase cases[] = {
        {"valid",
         kListHead + R"("files": [)" + Entry("Velkar.exe") + ", " + Entry("a/b", R"(, "group": "island")") + "]}",
         "ok Velkar.exe a/b@island"},
        {"members in any order", R"({"files": [)" + Entry("a") + R"(], "launch": {"args": [], "path": "a"},
            "project_version": "1", "build_id": "b"})",
         "ok a"},
        {"the first of two members counts",
         kListHead + R"("files": [)" + Entry("a") + R"(], "files": 5, "build_id": 7})", "ok a"},
        {"so does the first of an entry's members",
         kListHead + R"("files": [{"path": "a", "path": "/b", "size": 3, "size": "x", )" + sha + ", " + sha +
             R"(, "group": "g", "group": 5}]})",
         "ok a@g"},
        {"unknown members are passed over, whatever they hold",
         kListHead + R"("extra": {"files": [1, [2, {"x": null}]]}, "files": [)" + Entry("a", R"(, "x": [true])") + "]}",
         "ok a"},
        {"a group that is not text", kListHead + R"("files": [)" + Entry("a", R"(, "group": [1])") + "]}", "ok a"},
        {"an entry naming its chunk index",
         kListHead + R"("files": [)" + Entry("a", R"(, "chunks": {"sha256": ")" + kShaB + R"(", "size": 9})") + "]}",
         "ok a"},
        {"no entries", kListHead + R"("files": []})", "ok"},
        {"an entry that is not an object", kListHead + R"("files": [)" + Entry("a") + R"(, "a"]})", "缺少字段 path"},
        {"a size that is text", kListHead + R"("files": [{"path": "a", "size": "3", )" + sha + "}]}",
         "字段不是非负整数 size"},
        {"a path that is a number", kListHead + R"("files": [{"path": 1, "size": 3, )" + sha + "}]}",
         "字段不是字符串 path"},
        {"no digest", kListHead + R"("files": [{"path": "a", "size": 3}]})", "缺少字段 sha256"},
        {"files missing", kListHead + R"("x": 1})", "缺少字段 files"},
        {"files not a list", kListHead + R"("files": {"a": 1}})", "Release file list is malformed: files"},
        {"launch missing", R"({"build_id": "b", "project_version": "1", "files": []})", "缺少字段 launch"},
        {"not an object", R"([{"build_id": "b"}])", "缺少字段 build_id"},
        // The launch command is judged before the entries, wherever the entries stand.
        {"a refused launch path before a refused entry",
         R"({"files": [)" + Entry("/a") + R"(], "build_id": "b", "project_version": "1",
            "launch": {"path": "C:x", "args": []}})",
         "Release list has an invalid path: C:x"},
        {"entries in their order",
         kListHead + R"("files": [)" + Entry("a") + ", " + Entry("A") + ", " + Entry("Saved/x") + "]}",
         "Release file list is malformed: A"},
        {"an unreadable entry before a refused one", kListHead + R"("files": [)" + Entry("/x") + R"(, {"path": "a"}]})",
         "Release list has an invalid path: /x"},
        // The whole text is read before any member is judged.
        {"a broken text after a refused entry", broken,
         "JSON 格式错误：应为字符串（位置 " + std::to_string(broken.size() - 1) + "）"},
        {"trailing content after a refused entry", kListHead + R"("files": [)" + Entry("/x") + "]} x",
         "JSON 末尾有多余内容"},
    };
    for (const ReadingCase& c : cases) EXPECT_EQ(LauncherReading(c.text), c.outcome) << c.what;
    useEnglish = english;
}

TEST(ReleaseListReader, ThePublisherHearsOfEveryEntryInOrder) {
    const std::string text = kListHead + R"("files": [)" + Entry("a", R"(, "group": 1)") + R"(, {"path": "b"}, )" +
                             Entry("A") + ", " + Entry("Saved/c") + "]}";
    std::vector<std::string> problems;
    const ReleaseList list = ReadReleaseList(text, problems);
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "release list: file entry 0: \"group\" is not a string",
                            "release list: file entry 1: 缺少字段 size",
                            "release list: A: listed twice (letter case ignored)",
                            "release list: Saved/c: the launcher refuses this path",
                        }));
    ASSERT_EQ(list.files.size(), 3u);
    EXPECT_EQ(list.files[2].path, "Saved/c");
}

// Reading a list fails exactly where and how ParseJson fails on the same text, and only then.
void ExpectSyntaxOfParseJson(const std::string& text) {
    std::string model = "ok", list = "ok";
    try {
        ParseJson(text);
    } catch (const std::exception& e) {
        model = Thrown(e);
    }
    try {
        ParseReleaseList(text);
    } catch (const std::exception& e) {
        list = Thrown(e);
    }
    EXPECT_EQ(list, model) << text;
}

TEST(ReleaseListReader, FailsOnTheSameTextsAsParseJsonWithTheSameMessages) {
    const std::string sample = kListHead + R"("extra": [1.5e3, null, {"k": "é"}], "files": [)" +
                               Entry("Velkar/\\ud83d\\ude00.pak", R"(, "group": "island", "more": [false])") + ", " +
                               Entry("b") + R"(, 7]})";
    ASSERT_EQ(LauncherReading(sample), "缺少字段 path");  // the last item is no entry: a rule, not the syntax
    // Every truncation, every unreadable number or escape, every nesting depth, wherever it stands.
    for (std::size_t length = 0; length <= sample.size(); ++length) ExpectSyntaxOfParseJson(sample.substr(0, length));
    const std::string places[] = {"VALUE", "[" + Entry("a", R"(, "x": VALUE)") + "]", "[VALUE]", R"([{"path": VALUE}])",
                                  R"([{"size": VALUE}])"};
    for (const std::string& place : places) {
        for (const std::string& value : test::TroublesomeValues()) {
            std::string files = place;
            files.replace(files.find("VALUE"), 5, value);
            ExpectSyntaxOfParseJson(kListHead + R"("extra": )" + (place == "VALUE" ? value : "0") + R"(, "files": )" +
                                    files + "}");
        }
    }
    for (const std::string& text : test::DamagedCopies(sample, 4000, 20260611)) {
        ExpectSyntaxOfParseJson(text);
        LauncherReading(text);  // whatever it finds, it ends
    }
}

}  // namespace
}  // namespace vk
