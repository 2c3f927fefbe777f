#pragma once
// Small documents of the update server (manifest, signature, file list, news), fetched whole.
#include <cstdint>
#include <functional>
#include <string>

namespace vk {

class HttpSession;

// The body of a 200 answer; any other status fails with "Could not get update info: HTTP <status>".
// progress(received so far, announced length or 0) may throw to stop a document that grows too large.
std::string FetchDocument(HttpSession& session, const std::string& url,
                          const std::function<void(std::uint64_t, std::uint64_t)>& progress = {});

}  // namespace vk
