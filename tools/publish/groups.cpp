#include "groups.h"

#include "glob.h"

namespace vk::publish {

std::vector<std::string> AssignGroups(const std::vector<std::string>& paths, const std::vector<GroupRule>& rules,
                                      std::vector<std::string>& problems) {
    std::vector<std::string> groups(paths.size());
    std::vector<bool> used(rules.size(), false);
    for (std::size_t p = 0; p < paths.size(); ++p) {
        for (std::size_t r = 0; r < rules.size(); ++r) {
            if (!MatchGlob(rules[r].pattern, paths[p])) continue;
            if (groups[p].empty()) groups[p] = rules[r].name;
            used[r] = true;
        }
    }
    for (std::size_t r = 0; r < rules.size(); ++r) {
        if (!used[r]) problems.push_back("--group " + rules[r].name + "=" + rules[r].pattern + ": matches no file");
    }
    return groups;
}

}  // namespace vk::publish
