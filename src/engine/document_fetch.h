#pragma once
// Small documents of the update server (manifest, signature, file list, news), fetched whole.
#include <string>

namespace vk {

class HttpSession;

// The body of a 200 answer; any other status fails with "Could not get update info: HTTP <status>".
std::string FetchDocument(HttpSession& session, const std::string& url);

}  // namespace vk
