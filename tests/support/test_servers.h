#pragma once
// The servers that the fixture (tests/support/servers) starts for every test run.
#include <cstdint>
#include <string>
#include <vector>

namespace vk::test {

// Base URLs without a trailing slash.
struct ServerUrls {
    std::string https;  // nginx over TLS, host "localhost", serving WwwDir()
    std::string http;   // the same files over plain HTTP
    std::string fault;  // tests/support/fault_server.py: /<behaviour>/<n>
};

const ServerUrls& Servers();

// The folder nginx serves, as a Windows path.
std::wstring WwwDir();

// A query ("?t=...") that no other request of the run carries, to find a request in the access log.
std::string UniqueQuery();

// nginx's access-log lines of the requests whose URI ends with the query, each
// "uri|range|cache-control|user-agent|status|bytes" with "-" for an absent header. nginx writes a line
// once it has sent the response, so this waits a little for the first one to appear.
std::vector<std::string> AccessLogLines(const std::string& query);

// The content of the fault server's blob of the given size: byte i is i % 251.
std::string FaultBlob(std::uint64_t size);

}  // namespace vk::test
