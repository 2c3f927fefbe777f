// Pointing a channel at a release the store holds: promote and rollback.
#include "channel_move.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>

#include "engine/release_documents_portable.h"
#include "infra/sha256_portable.h"
#include "infra/signature_portable.h"
#include "promote.h"
#include "release.h"
#include "rollback.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// Channel "live" carries b1; channel "internal" carries b2 with a launcher offer, a banner and a
// higher minimum launcher version.
class ChannelMoveTest : public ::testing::Test {
protected:
    void SetUp() override {
        Publish("live", "b1", {{"Velkar.exe", "exe 1"}, {"a.pak", "pak"}}, "2026-12-01T00:00:00Z");
        WriteBytes(work / "launcher.exe", "launcher");
        WriteBytes(work / "banner.jpg", "banner");
        Publish("internal", "b2", {{"Velkar.exe", "exe 2"}, {"a.pak", "pak"}, {"Island/map.pak", "map"}},
                "2026-12-02T00:00:00Z", [this](ReleaseOptions& options) {
                    options.launcherExe = work / "launcher.exe";
                    options.launcherVersion = "2.5.0";
                    options.banner = work / "banner.jpg";
                    options.minLauncher = "2.4.1";
                    options.groups = {{"island", "Island/**"}};
                });
    }

    void Publish(const std::string& channel, const std::string& build,
                 const std::vector<std::pair<std::string, std::string>>& files, const std::string& published,
                 const std::function<void(ReleaseOptions&)>& adjust = {}) {
        test::PublishFiles(store, channel, build, files, [&](ReleaseOptions& options) {
            options.published = published;
            if (adjust) adjust(options);
        });
    }

    PromoteOptions Promote(const std::string& from, const std::string& to) const {
        return {store, test::Keys().privateKey, from, to, "2026-12-03T00:00:00Z", 7, 0};
    }

    RollbackOptions Rollback(const std::string& channel, ReleaseRef target) const {
        return {store, test::Keys().privateKey, channel, std::move(target), "2026-12-04T00:00:00Z", std::nullopt, 0};
    }

    std::string ManifestBytes(const std::string& channel) const {
        return ReadBytes(store / ("channels/" + channel + "/windows.json"));
    }

    ChannelManifest Manifest(const std::string& channel) const {
        std::vector<std::string> problems;
        return ReadManifest(ManifestBytes(channel), problems);
    }

    bool SignedWithTestKey(const std::string& channel) const {
        return VerifySignature(ManifestBytes(channel), ReadBytes(store / ("channels/" + channel + "/windows.json.sig")),
                               ReadBytes(test::Keys().publicKey));
    }

    // Every file of the store and its bytes.
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(store)) {
            if (entry.is_regular_file())
                files[entry.path().lexically_relative(store).generic_string()] = ReadBytes(entry);
        }
        return files;
    }

    TempDir work;
    const fs::path store = work / "store";
};

TEST_F(ChannelMoveTest, PromoteNamesTheSourceReleaseAndItsOffersWithTheTargetsNextSequence) {
    const std::map<std::string, std::string> before = Files();
    const ChannelMove move = PromoteRelease(Promote("internal", "live"));

    ChannelManifest expected = Manifest("internal");
    expected.channel = "live";
    expected.sequence = 2;
    expected.published = "2026-12-03T00:00:00Z";
    expected.expires = "2026-12-10T00:00:00Z";
    EXPECT_EQ(ManifestBytes("live"), ManifestJson(expected));
    EXPECT_TRUE(SignedWithTestKey("live"));
    EXPECT_FALSE(move.unchanged);
    EXPECT_EQ(move.list.buildId, "b2");
    EXPECT_EQ(move.previousRelease, std::optional<std::string>("releases/b1.json"));
    // Nothing but the target's manifest and signature was written.
    std::map<std::string, std::string> after = Files();
    for (const char* name : {"channels/live/windows.json", "channels/live/windows.json.sig"}) {
        EXPECT_NE(after[name], before.at(name)) << name;
        after[name] = before.at(name);
    }
    EXPECT_EQ(after, before);

    // Promoting again changes nothing; a new channel starts at 1.
    EXPECT_TRUE(PromoteRelease(Promote("internal", "live")).unchanged);
    EXPECT_EQ(ManifestBytes("live"), ManifestJson(expected));
    EXPECT_EQ(PromoteRelease(Promote("live", "qa")).manifest.sequence, std::optional<std::uint64_t>(1));
    EXPECT_TRUE(SignedWithTestKey("qa"));
}

TEST_F(ChannelMoveTest, RollbackNamesTheEarlierReleaseWithTheChannelsOffersAndNextSequence) {
    PromoteRelease(Promote("internal", "live"));
    const ChannelManifest promoted = Manifest("live");
    const std::string b1List = ReadBytes(store / "releases/b1.json");

    const ChannelMove move = RollBackChannel(Rollback("live", {ReleaseRef::Kind::Build, "b1"}));
    ChannelManifest expected = promoted;
    expected.release = "releases/b1.json";
    expected.releaseBlob = {Sha256Hex(b1List), b1List.size()};
    expected.buildId = "b1";
    expected.sequence = 3;
    expected.published = "2026-12-04T00:00:00Z";
    expected.expires.clear();  // only when asked for
    EXPECT_EQ(ManifestBytes("live"), ManifestJson(expected));
    EXPECT_TRUE(SignedWithTestKey("live"));
    EXPECT_EQ(move.previousRelease, std::optional<std::string>("releases/b2.json"));
    EXPECT_EQ(ReadBytes(store / "releases/b1.json"), b1List);

    // By its list's path, with an expiry, and back again.
    RollbackOptions forward = Rollback("live", {ReleaseRef::Kind::Path, "releases/b2.json"});
    forward.expiresInDays = 30;
    EXPECT_EQ(RollBackChannel(forward).manifest.sequence, std::optional<std::uint64_t>(4));
    EXPECT_EQ(Manifest("live").buildId, "b2");
    EXPECT_EQ(Manifest("live").expires, "2027-01-03T00:00:00Z");
    EXPECT_TRUE(RollBackChannel(forward).unchanged);
    EXPECT_EQ(Manifest("live").sequence, std::optional<std::uint64_t>(4));
}

TEST_F(ChannelMoveTest, RefusalsLeaveTheStoreAsItWas) {
    const auto removeBlob = [this](const std::string& content) { fs::remove(store / ("blobs/" + Sha256Hex(content))); };
    struct Case {
        const char* label;
        std::function<void()> prepare;
        std::function<void()> run;
        const char* message;
    };
    const Case cases[] = {
        {"promote from a channel without a manifest", [] {}, [&] { PromoteRelease(Promote("beta", "live")); },
         "channels/beta/windows.json is missing: channel beta has no release to promote"},
        {"promote a release missing a blob", [&] { removeBlob("map"); },
         [&] { PromoteRelease(Promote("internal", "live")); },
         "the store does not hold build b2 (releases/b2.json) complete: 1 blobs missing"},
        {"promote a banner that is missing", [&] { removeBlob("banner"); },
         [&] { PromoteRelease(Promote("internal", "live")); }, "1 blobs missing"},
        {"promote a manifest changed after it was signed",
         [&] {
             ChannelManifest planted = Manifest("internal");
             planted.buildId = "b1";
             WriteBytes(store / "channels/internal/windows.json", ManifestJson(planted));
         },
         [&] { PromoteRelease(Promote("internal", "live")); }, "is not signed with this key"},
        {"roll back to a build the store lacks", [] {},
         [&] {
             RollBackChannel(Rollback("live", {ReleaseRef::Kind::Build, "b9"}));
         },
         "no release list of the store has build id b9"},
        {"roll back to a list the store lacks", [] {},
         [&] {
             RollBackChannel(Rollback("live", {ReleaseRef::Kind::Path, "releases/b9.json"}));
         },
         "releases/b9.json is not in the store"},
        {"roll back to a release missing a blob", [&] { removeBlob("exe 2"); },
         [&] {
             RollBackChannel(Rollback("live", {ReleaseRef::Kind::Build, "b2"}));
         },
         "the store does not hold build b2 (releases/b2.json) complete: 1 blobs missing"},
        {"roll back a channel without a manifest", [] {},
         [&] {
             RollBackChannel(Rollback("beta", {ReleaseRef::Kind::Build, "b1"}));
         },
         "channels/beta/windows.json is missing: channel beta has no release to roll back"},
        {"roll back to a build id two lists carry",
         [&] { WriteBytes(store / "releases/copies/b2.json", ReadBytes(store / "releases/b2.json")); },
         [&] {
             RollBackChannel(Rollback("live", {ReleaseRef::Kind::Build, "b2"}));
         },
         "build id b2 is in several release lists (releases/b2.json, releases/copies/b2.json)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        fs::remove_all(store);
        SetUp();
        c.prepare();
        const std::map<std::string, std::string> before = Files();
        try {
            c.run();
            ADD_FAILURE() << "not refused";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
        }
        EXPECT_EQ(Files(), before);
    }
}

}  // namespace
}  // namespace vk::publish
