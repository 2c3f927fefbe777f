#include "options.h"

#include <set>
#include <stdexcept>

#include "configuration/configuration.h"
#include "infra/text.h"

namespace vk::headless {

const char kUsage[] =
    "usage: velkar-update [options] check|update|repair|verify|status\n"
    "  --install-dir DIR   game installation folder\n"
    "  --base-url URL      update server (HTTPS root of the store)\n"
    "  --channel NAME      release channel\n"
    "  --cache-dir DIR     per-user cache folder\n"
    "  --select GROUP      with update: select an optional content group first\n"
    "  --limit-rate KIB    download at most KIB KiB a second over all connections (0: no limit)\n"
    "  --lang en|zh        language of messages\n"
    "  --quiet             no progress\n"
    "exit codes: 0 done, 1 failed, 2 bad usage, 3 stopped, 4 verify found a problem\n";

Options ParseOptions(const std::vector<std::wstring>& arguments) {
    static const std::set<std::string> commands = {"check", "update", "repair", "verify", "status"};
    Options options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string argument = WideToUtf8(arguments[i]);
        auto value = [&]() -> std::wstring {
            if (i + 1 >= arguments.size()) throw std::invalid_argument(argument + " needs a value");
            return arguments[++i];
        };
        if (argument == "--install-dir") {
            options.installDir = value();
        } else if (argument == "--base-url") {
            options.baseUrl = WideToUtf8(value());
        } else if (argument == "--channel") {
            options.channel = WideToUtf8(value());
        } else if (argument == "--cache-dir") {
            options.cacheDir = value();
        } else if (argument == "--limit-rate") {
            const std::string limit = WideToUtf8(value());
            options.limitKiB = DownloadLimitFrom(limit);
            if (*options.limitKiB == 0 && limit != "0") throw std::invalid_argument("--limit-rate takes KiB a second");
        } else if (argument == "--select") {
            options.select.push_back(WideToUtf8(value()));
        } else if (argument == "--lang") {
            const std::string language = WideToUtf8(value());
            if (language != "en" && language != "zh") throw std::invalid_argument("--lang takes en or zh");
            options.english = language == "en";
        } else if (argument == "--quiet") {
            options.quiet = true;
        } else if (commands.count(argument) && options.command.empty()) {
            options.command = argument;
        } else {
            throw std::invalid_argument("unexpected argument " + argument);
        }
    }
    if (options.command.empty()) throw std::invalid_argument("no command given");
    if (!options.select.empty() && options.command != "update") {
        throw std::invalid_argument("--select goes with update");
    }
    return options;
}

}  // namespace vk::headless
