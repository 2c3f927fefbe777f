#pragma once
// The command-line interface: one command word, then options of the form "--name value" or
// "--flag". The interface is fixed so that scripts can rely on it.
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace vk::publish {

namespace fs = std::filesystem;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct KeygenOptions {
    fs::path privateKey;
    fs::path publicKey;
};

struct GroupRule {
    std::string name;
    std::string pattern;
};

struct ReleaseOptions {
    fs::path store;
    fs::path game;
    fs::path key;
    std::string channel;
    std::string buildId;
    std::string version;
    std::string launchPath;
    std::vector<std::string> launchArgs;
    std::vector<GroupRule> groups;
    std::string minLauncher = "2.4.0";
    std::optional<fs::path> launcherExe;
    std::string launcherVersion;
    std::optional<fs::path> banner;
    std::string releasePath;  // relative to the store; "releases/" + build id + ".json" unless given
    int waitSeconds = 0;      // for another writer of the store to finish
    std::string published;    // the manifest's publication time (--published, for reproducible stores); empty: now
    std::optional<int> expiresInDays;  // the manifest expires this many days after its publication; none: never
};

// Signs the channel's current manifest afresh: the next sequence, a new publication time and a new
// expiry, the same release. Run on a schedule, it keeps an expiring channel alive.
struct RefreshOptions {
    fs::path store;
    fs::path key;
    std::string channel;
    int expiresInDays = 0;
    std::string published;  // empty: now
    int waitSeconds = 0;
};

struct NewsOptions {
    fs::path store;
    fs::path file;
    int waitSeconds = 0;
};

struct VerifyOptions {
    fs::path store;
    std::string channel;
    fs::path publicKey;
};

struct GcOptions {
    fs::path store;
    std::vector<std::string> keepReleases;
    bool deleteBlobs = false;
    int waitSeconds = 0;
};

using Command = std::variant<KeygenOptions, ReleaseOptions, RefreshOptions, NewsOptions, VerifyOptions, GcOptions>;

// Throws UsageError for anything that is not a well-formed command.
Command ParseCommandLine(const std::vector<std::string>& arguments);

extern const char kUsage[];

}  // namespace vk::publish
