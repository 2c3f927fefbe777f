#pragma once
// The store's releases as the publisher reads them (text) and as scripts read them (--json): the
// same facts in both.
#include <string>

#include "releases.h"

namespace vk::publish {

std::string ReleasesText(const ReleasesReport& report);
std::string ReleasesJson(const ReleasesReport& report);

}  // namespace vk::publish
