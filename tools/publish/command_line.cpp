#include "command_line.h"

#include <map>
#include <span>

#include "file_io.h"
#include "infra/utc_time_portable.h"
#include "path_rules.h"

namespace vk::publish {

const char kUsage[] =
    "usage:\n"
    "  velkar-publish keygen --private FILE --public FILE\n"
    "  velkar-publish release --store DIR --game DIR --key FILE --channel NAME --build-id ID\n"
    "                 --version VER --launch PATH [--arg ARG]... [--group NAME=PATTERN]...\n"
    "                 [--min-launcher VER] [--launcher-exe FILE --launcher-version VER]\n"
    "                 [--banner FILE] [--release-path PATH] [--published UTC-TIME] [--expires-in DAYS]\n"
    "                 [--wait SECONDS]\n"
    "  velkar-publish refresh --store DIR --key FILE --channel NAME --expires-in DAYS\n"
    "                 [--published UTC-TIME] [--wait SECONDS]\n"
    "  velkar-publish news --store DIR --file FILE [--wait SECONDS]\n"
    "  velkar-publish verify --store DIR --channel NAME --public FILE\n"
    "  velkar-publish gc --store DIR [--keep-release PATH]... [--delete] [--wait SECONDS]\n"
    "\n"
    "release, refresh, news and gc --delete wait up to --wait seconds (default 0) for another writer of the store.\n"
    "A manifest with --expires-in is refused by launchers DAYS days after its publication; refresh signs the\n"
    "channel's current release again with a new expiry (run it on a schedule, well before the old one).\n"
    "PATTERN is matched against release paths: \"*\" within one folder, \"**\" across folders.\n"
    "The first --group whose pattern matches a file decides its group.\n";

namespace {

// Ten years: a manifest that expires later protects nobody.
constexpr int kMaxExpiryDays = 3650;

enum class Kind { Once, Repeated, Flag };

struct OptionRule {
    const char* name;
    Kind kind;
    bool required;
};

using Values = std::map<std::string, std::vector<std::string>>;

const OptionRule* FindRule(std::span<const OptionRule> rules, const std::string& name) {
    for (const OptionRule& rule : rules) {
        if (name == rule.name) return &rule;
    }
    return nullptr;
}

Values ParseOptions(std::span<const std::string> arguments, std::span<const OptionRule> rules) {
    Values values;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const OptionRule* rule = FindRule(rules, arguments[i]);
        if (rule == nullptr) throw UsageError("unknown option " + arguments[i]);
        std::vector<std::string>& slot = values[rule->name];
        if (rule->kind != Kind::Repeated && !slot.empty()) throw UsageError(arguments[i] + " given twice");
        if (rule->kind == Kind::Flag) {
            slot.emplace_back();
            continue;
        }
        // The value is always the next word, even when it starts with "-" (game arguments do).
        if (i + 1 == arguments.size()) throw UsageError(arguments[i] + " needs a value");
        slot.push_back(arguments[++i]);
    }
    for (const OptionRule& rule : rules) {
        if (rule.required && !values.contains(rule.name)) throw UsageError(std::string("missing ") + rule.name);
    }
    return values;
}

std::string One(const Values& values, const char* name) {
    const auto found = values.find(name);
    return found == values.end() ? std::string() : found->second.front();
}

std::vector<std::string> All(const Values& values, const char* name) {
    const auto found = values.find(name);
    return found == values.end() ? std::vector<std::string>() : found->second;
}

std::optional<fs::path> OptionalPath(const Values& values, const char* name) {
    if (!values.contains(name)) return std::nullopt;
    return PathFromUtf8(One(values, name));
}

// Versions are compared segment by segment as numbers, so only digits and single dots are
// accepted: anything else would silently count as 0.
bool IsDottedVersion(const std::string& text) {
    bool segmentHasDigit = false;
    for (const char c : text) {
        if (c == '.' && segmentHasDigit) {
            segmentHasDigit = false;
        } else if (c >= '0' && c <= '9') {
            segmentHasDigit = true;
        } else {
            return false;
        }
    }
    return segmentHasDigit;
}

// A whole number of at most six digits.
std::optional<int> SmallNumber(const std::string& text) {
    const bool digits = !text.empty() && text.size() <= 6 && text.find_first_not_of("0123456789") == std::string::npos;
    return digits ? std::optional<int>(std::stoi(text)) : std::nullopt;
}

int WaitSeconds(const Values& values) {
    if (!values.contains("--wait")) return 0;
    const std::string text = One(values, "--wait");
    const std::optional<int> seconds = SmallNumber(text);
    if (!seconds) throw UsageError("--wait must be a number of seconds: " + text);
    return *seconds;
}

// The manifest's publication time as the publisher gave it (YYYY-MM-DDTHH:MM:SSZ), or empty for now.
std::string PublishedTime(const Values& values) {
    const std::string text = One(values, "--published");
    if (values.contains("--published") && !ParseUtcTime(text)) {
        throw UsageError("--published must be a UTC time such as 2026-12-10T11:46:17Z: " + text);
    }
    return text;
}

std::optional<int> ExpiresInDays(const Values& values) {
    if (!values.contains("--expires-in")) return std::nullopt;
    const std::string text = One(values, "--expires-in");
    const std::optional<int> days = SmallNumber(text);
    if (!days || *days < 1 || *days > kMaxExpiryDays) {
        throw UsageError("--expires-in must be a number of days from 1 to " + std::to_string(kMaxExpiryDays) + ": " +
                         text);
    }
    return days;
}

void RequireNonEmpty(const std::string& value, const char* option) {
    if (value.empty()) throw UsageError(std::string(option) + " must not be empty");
}

void RequirePlainName(const std::string& value, const char* option) {
    if (!IsPlainName(value)) {
        throw UsageError(std::string(option) + " may hold only letters, digits, \".\", \"_\" and \"-\" and must not "
                                               "start with a dot: " + value);
    }
}

void RequireVersion(const std::string& value, const char* option) {
    if (!IsDottedVersion(value)) {
        throw UsageError(std::string(option) + " must be dotted numbers such as 2.4.0: " + value);
    }
}

GroupRule ParseGroupRule(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == 0 || equals == std::string::npos || equals + 1 == text.size()) {
        throw UsageError("--group needs NAME=PATTERN: " + text);
    }
    return {text.substr(0, equals), text.substr(equals + 1)};
}

void CheckReleasePathOption(const std::string& path) {
    const std::string problem = ReleasePathProblem(path);
    if (!problem.empty()) throw UsageError("--release-path " + path + " " + problem);
    if (path.starts_with("blobs/") || path.starts_with("channels/") || path.starts_with(".")) {
        throw UsageError("--release-path must not lie in blobs/, channels/ or a hidden folder: " + path);
    }
}

KeygenOptions ParseKeygen(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {{"--private", Kind::Once, true}, {"--public", Kind::Once, true}};
    const Values values = ParseOptions(arguments, kRules);
    return {PathFromUtf8(One(values, "--private")), PathFromUtf8(One(values, "--public"))};
}

ReleaseOptions ParseRelease(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {
        {"--store", Kind::Once, true},          {"--game", Kind::Once, true},
        {"--key", Kind::Once, true},            {"--channel", Kind::Once, true},
        {"--build-id", Kind::Once, true},       {"--version", Kind::Once, true},
        {"--launch", Kind::Once, true},         {"--arg", Kind::Repeated, false},
        {"--group", Kind::Repeated, false},     {"--min-launcher", Kind::Once, false},
        {"--launcher-exe", Kind::Once, false},  {"--launcher-version", Kind::Once, false},
        {"--banner", Kind::Once, false},        {"--release-path", Kind::Once, false},
        {"--published", Kind::Once, false},     {"--wait", Kind::Once, false},
        {"--expires-in", Kind::Once, false},
    };
    const Values values = ParseOptions(arguments, kRules);
    ReleaseOptions options;
    options.store = PathFromUtf8(One(values, "--store"));
    options.game = PathFromUtf8(One(values, "--game"));
    options.key = PathFromUtf8(One(values, "--key"));
    options.channel = One(values, "--channel");
    options.buildId = One(values, "--build-id");
    options.version = One(values, "--version");
    options.launchPath = One(values, "--launch");
    options.launchArgs = All(values, "--arg");
    for (const std::string& rule : All(values, "--group")) options.groups.push_back(ParseGroupRule(rule));
    if (values.contains("--min-launcher")) options.minLauncher = One(values, "--min-launcher");
    options.launcherExe = OptionalPath(values, "--launcher-exe");
    options.launcherVersion = One(values, "--launcher-version");
    options.banner = OptionalPath(values, "--banner");
    options.releasePath = values.contains("--release-path") ? One(values, "--release-path")
                                                             : "releases/" + options.buildId + ".json";
    options.published = PublishedTime(values);
    options.expiresInDays = ExpiresInDays(values);
    options.waitSeconds = WaitSeconds(values);

    RequirePlainName(options.channel, "--channel");
    RequirePlainName(options.buildId, "--build-id");
    RequireNonEmpty(options.version, "--version");
    RequireNonEmpty(options.launchPath, "--launch");
    RequireVersion(options.minLauncher, "--min-launcher");
    if (options.launcherExe.has_value() != values.contains("--launcher-version")) {
        throw UsageError("--launcher-exe and --launcher-version go together");
    }
    if (options.launcherExe) RequireVersion(options.launcherVersion, "--launcher-version");
    CheckReleasePathOption(options.releasePath);
    return options;
}

RefreshOptions ParseRefresh(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {
        {"--store", Kind::Once, true},      {"--key", Kind::Once, true},        {"--channel", Kind::Once, true},
        {"--expires-in", Kind::Once, true}, {"--published", Kind::Once, false}, {"--wait", Kind::Once, false},
    };
    const Values values = ParseOptions(arguments, kRules);
    RefreshOptions options;
    options.store = PathFromUtf8(One(values, "--store"));
    options.key = PathFromUtf8(One(values, "--key"));
    options.channel = One(values, "--channel");
    options.expiresInDays = *ExpiresInDays(values);
    options.published = PublishedTime(values);
    options.waitSeconds = WaitSeconds(values);
    RequirePlainName(options.channel, "--channel");
    return options;
}

NewsOptions ParseNews(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {
        {"--store", Kind::Once, true}, {"--file", Kind::Once, true}, {"--wait", Kind::Once, false}};
    const Values values = ParseOptions(arguments, kRules);
    return {PathFromUtf8(One(values, "--store")), PathFromUtf8(One(values, "--file")), WaitSeconds(values)};
}

VerifyOptions ParseVerify(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {
        {"--store", Kind::Once, true}, {"--channel", Kind::Once, true}, {"--public", Kind::Once, true}};
    const Values values = ParseOptions(arguments, kRules);
    VerifyOptions options{PathFromUtf8(One(values, "--store")), One(values, "--channel"),
                          PathFromUtf8(One(values, "--public"))};
    RequirePlainName(options.channel, "--channel");
    return options;
}

GcOptions ParseGc(std::span<const std::string> arguments) {
    static constexpr OptionRule kRules[] = {
        {"--store", Kind::Once, true}, {"--keep-release", Kind::Repeated, false}, {"--delete", Kind::Flag, false},
        {"--wait", Kind::Once, false}};
    const Values values = ParseOptions(arguments, kRules);
    GcOptions options{PathFromUtf8(One(values, "--store")), All(values, "--keep-release"), values.contains("--delete"),
                      WaitSeconds(values)};
    for (const std::string& path : options.keepReleases) {
        if (!ReleasePathProblem(path).empty()) throw UsageError("--keep-release is not a store path: " + path);
    }
    return options;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty()) throw UsageError("no command given");
    const std::string& command = arguments.front();
    const std::span<const std::string> rest(arguments.begin() + 1, arguments.end());
    if (command == "keygen") return ParseKeygen(rest);
    if (command == "release") return ParseRelease(rest);
    if (command == "refresh") return ParseRefresh(rest);
    if (command == "news") return ParseNews(rest);
    if (command == "verify") return ParseVerify(rest);
    if (command == "gc") return ParseGc(rest);
    throw UsageError("unknown command " + command);
}

}  // namespace vk::publish
