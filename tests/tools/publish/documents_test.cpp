#include "documents.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "infra/json.h"

namespace vk::publish {
namespace {

const std::string kShaA(64, 'a');
const std::string kShaB(64, 'b');
const std::string kShaC(64, 'c');

ReleaseEntry Entry(const std::string& path, const std::string& sha256, std::uint64_t size, const std::string& group) {
    ReleaseEntry entry;
    entry.path = path;
    entry.blob.sha256 = sha256;
    entry.blob.size = size;
    entry.group = group;
    return entry;
}

ReleaseList SampleList() {
    ReleaseList list;
    list.buildId = "b7";
    list.projectVersion = "1.2.3";
    list.launchPath = "Velkar.exe";
    list.launchArgs = {"-log", "say \"hi\"\tnow"};
    // Deliberately out of order: the writer sorts by path bytes.
    list.files.push_back(Entry("Velkar/Content/Paks/island.pak", kShaB, 42, "island"));
    list.files.push_back(Entry("Velkar.exe", kShaA, 1000, ""));
    list.files.push_back(Entry("Engine/é.dll", kShaC, 0, ""));
    return list;
}

Manifest SampleManifest() {
    Manifest manifest;
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
        "    {\"path\": \"Engine/é.dll\", \"size\": 0, \"sha256\": \"" + kShaC + "\"},\n"
        "    {\"path\": \"Velkar.exe\", \"size\": 1000, \"sha256\": \"" + kShaA + "\"},\n"
        "    {\"path\": \"Velkar/Content/Paks/island.pak\", \"size\": 42, \"sha256\": \"" + kShaB +
        "\", \"group\": \"island\"}\n"
        "  ]\n"
        "}\n";
    EXPECT_EQ(ReleaseListJson(SampleList()), expected);
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
    Manifest manifest = SampleManifest();
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
    manifest.launcher = LauncherOffer{"2.5.0", {kShaB, 5000000}};
    manifest.banner = BlobRef{kShaC, 300000};
    const std::string text = ManifestJson(manifest);
    EXPECT_NE(text.find("  \"min_launcher_version\": \"2.4.0\",\n"
                        "  \"launcher\": {\"version\": \"2.5.0\", \"sha256\": \"" + kShaB + "\", \"size\": 5000000},\n"
                        "  \"banner\": {\"sha256\": \"" + kShaC + "\", \"size\": 300000}\n"
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
    EXPECT_EQ(list.files[2].blob.size, 42u);

    Manifest written = SampleManifest();
    written.minLauncherVersion = "2.4.1";
    written.launcher = LauncherOffer{"2.5", {kShaB, 2}};
    written.banner = BlobRef{kShaC, 3};
    const Manifest read = ReadManifest(ManifestJson(written), problems);
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(read.minLauncherVersion, "2.4.1");
    ASSERT_TRUE(read.launcher && read.banner);
    EXPECT_EQ(read.launcher->version, "2.5");
    EXPECT_EQ(read.launcher->blob.sha256, kShaB);
    EXPECT_EQ(read.banner->size, 3u);
}

struct ListCase {
    const char* what;
    std::string files;
    std::string problem;  // a piece of the one expected problem line
};

TEST(DocumentsTest, ListReaderReportsWhatTheLauncherWouldRefuse) {
    const std::string sha = "\"sha256\": \"" + kShaA + "\"";
    const ListCase cases[] = {
        {"path rule", R"({"path": "Velkar/Saved/x", "size": 1, )" + sha + "}", "refuses this path"},
        {"upper-case digest", R"({"path": "a", "size": 1, "sha256": ")" + std::string(64, 'A') + "\"}", "lower-case"},
        {"short digest", R"({"path": "a", "size": 1, "sha256": "abc"})", "lower-case"},
        {"same path in other case",
         R"({"path": "Velkar/A.pak", "size": 1, )" + sha + R"(}, {"path": "velkar/a.pak", "size": 1, )" + sha + "}",
         "listed twice"},
        {"missing size", R"({"path": "a", )" + sha + "}", "size"},
        {"not an object", "5", "path"},
        {"numeric group", R"({"path": "a", "size": 1, "group": 5, )" + sha + "}", "group"},
    };
    for (const ListCase& c : cases) {
        const std::string text = R"({"schema": 1, "platform": "windows", "build_id": "b", "project_version": "1",
            "launch": {"path": "a", "args": []}, "files": [)" + c.files + "]}";
        std::vector<std::string> problems;
        ReadReleaseList(text, problems);
        ASSERT_EQ(problems.size(), 1u) << c.what;
        EXPECT_NE(problems[0].find(c.problem), std::string::npos) << c.what << ": " << problems[0];
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
    };
    for (const std::string& entry : cases) {
        std::vector<std::string> problems;
        const Manifest manifest = ReadManifest(head + ", " + entry + "}", problems);
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

}  // namespace
}  // namespace vk::publish
