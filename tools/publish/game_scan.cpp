#include "game_scan.h"

#include <algorithm>
#include <map>

#include "engine/release_path_portable.h"
#include "file_io.h"
#include "path_rules.h"

namespace vk::publish {
namespace {

void AddEntry(const fs::directory_entry& entry, const fs::path& root, GameScan& scan) {
    const std::string path = Utf8Of(entry.path().lexically_relative(root));
    const fs::file_status status = entry.symlink_status();
    if (fs::is_directory(status)) return;
    if (fs::is_symlink(status)) {
        scan.problems.push_back(path + ": is a symbolic link; publish the file itself");
    } else if (!fs::is_regular_file(status)) {
        scan.problems.push_back(path + ": is not a regular file");
    } else if (const std::string problem = ReleasePathProblem(path); !problem.empty()) {
        scan.problems.push_back(path + ": " + problem);
    } else {
        scan.files.push_back({path, entry.path(), entry.file_size()});
    }
}

// Windows folds letter case, so two names that differ only in case are one file there, and a
// file cannot share its name with a folder.
void FindCaseClashes(GameScan& scan) {
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> folders;
    for (const GameFile& file : scan.files) {
        for (std::size_t slash = file.path.find('/'); slash != std::string::npos;
             slash = file.path.find('/', slash + 1)) {
            const std::string folder = file.path.substr(0, slash);
            folders.emplace(ToLowerAscii(folder), folder);
        }
        const auto [first, added] = files.emplace(ToLowerAscii(file.path), file.path);
        if (!added) scan.problems.push_back(file.path + ": differs from " + first->second + " only in letter case");
    }
    for (const auto& [lower, path] : files) {
        if (const auto folder = folders.find(lower); folder != folders.end()) {
            scan.problems.push_back(path + ": has the name of the folder " + folder->second +
                                    " in another letter case");
        }
    }
}

}  // namespace

GameScan ScanGameFolder(const fs::path& root) {
    GameScan scan;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        AddEntry(entry, root, scan);
    }
    std::sort(scan.files.begin(), scan.files.end(),
              [](const GameFile& a, const GameFile& b) { return a.path < b.path; });
    FindCaseClashes(scan);
    std::sort(scan.problems.begin(), scan.problems.end());
    return scan;
}

}  // namespace vk::publish
