#pragma once
// What a release changes, as the publisher reads it (text) and as scripts read it (--json): the
// same facts in both.
#include <optional>
#include <string>

#include "release_catalog.h"
#include "release_diff.h"
#include "store.h"

namespace vk::publish {

// Every changed file, one a line, then the table by group.
std::string DiffText(const StoredRelease& from, const StoredRelease& to, const ReleaseDiff& diff);
std::string DiffJson(const StoredRelease& from, const StoredRelease& to, const ReleaseDiff& diff);

// The closing lines of a command that points a channel at a release (release, promote, rollback):
// what the channel's players download, against the release it named before. Never throws: the
// channel is already moved when this is asked.
std::string ChannelChangeText(const Store& store, const std::string& channel,
                              const std::optional<std::string>& previousRelease, const ReleaseList& next);

}  // namespace vk::publish
