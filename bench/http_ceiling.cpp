// What WinHTTP itself can deliver on this machine: fetches every URL of a list into memory (nothing
// hashed, nothing written) over a given number of connections, each a thread with its own session and
// one connection handle that it keeps for all its requests.
//   velkar_bench_http URL_LIST RUNS CONNECTIONS...
// Prints one line per connection count, "ceiling-x<count>" followed by the seconds of every run.
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/handles.h"
#include "infra/http.h"
#include "infra/text.h"

namespace {

constexpr DWORD kBuffer = 0x100000;

std::vector<std::string> ReadUrls(const std::wstring& path) {
    std::istringstream list(vk::ReadWholeFile(path));
    std::vector<std::string> urls;
    for (std::string line; std::getline(list, line);) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) urls.push_back(line);
    }
    if (urls.empty()) throw std::runtime_error("no URLs in " + vk::WideToUtf8(path));
    return urls;
}

// One connection's share: takes the next URL until none is left, and reads each body to its end.
void Fetch(const std::vector<std::string>& urls, std::atomic<size_t>& next, std::atomic<std::uint64_t>& bytes) {
    const vk::HttpSession session;
    const vk::ParsedUrl server = vk::CrackUrl(urls.front());  // every blob lives on one server
    const vk::UniqueInternet connection(WinHttpConnect(session.get(), server.host.c_str(), server.port, 0));
    if (!connection) vk::ThrowLastError("connect");
    const auto buffer = std::make_unique_for_overwrite<unsigned char[]>(kBuffer);
    for (size_t i = next++; i < urls.size(); i = next++) {
        const vk::ParsedUrl url = vk::CrackUrl(urls[i]);
        const vk::UniqueInternet request(WinHttpOpenRequest(connection.get(), L"GET", url.path.c_str(), nullptr,
                                                            WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                            url.https ? WINHTTP_FLAG_SECURE : 0));
        if (!request || !WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, nullptr, 0, 0, 0) ||
            !WinHttpReceiveResponse(request.get(), nullptr)) {
            vk::ThrowLastError("request " + urls[i]);
        }
        for (;;) {
            DWORD read = 0;
            if (!WinHttpReadData(request.get(), buffer.get(), kBuffer, &read)) vk::ThrowLastError("read " + urls[i]);
            if (read == 0) break;
            bytes += read;
        }
    }
}

// Seconds to fetch every URL once over `connections` connections.
double FetchAll(const std::vector<std::string>& urls, int connections, std::uint64_t& bytes) {
    std::atomic<size_t> next{0};
    std::atomic<std::uint64_t> received{0};
    std::vector<std::exception_ptr> errors(connections);
    std::vector<std::thread> pool;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < connections; ++i) {
        pool.emplace_back([&, i] {
            try {
                Fetch(urls, next, received);
            } catch (...) {
                errors[i] = std::current_exception();
            }
        });
    }
    for (auto& thread : pool) thread.join();
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    for (const auto& error : errors) {
        if (error) std::rethrow_exception(error);
    }
    bytes = received;
    return seconds.count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        if (argc < 4) {
            std::fprintf(stderr, "usage: velkar_bench_http URL_LIST RUNS CONNECTIONS...\n");
            return 2;
        }
        const std::vector<std::string> urls = ReadUrls(argv[1]);
        const int runs = std::stoi(argv[2]);
        std::uint64_t expected = 0;
        for (int a = 3; a < argc; ++a) {
            const int connections = std::stoi(argv[a]);
            std::printf("ceiling-x%d", connections);
            for (int run = 0; run < runs; ++run) {
                std::uint64_t bytes = 0;
                std::printf(" %.6f", FetchAll(urls, connections, bytes));
                // Every run must have fetched the same bytes, or its time means nothing.
                if (expected != 0 && bytes != expected) throw std::runtime_error("runs fetched different byte counts");
                expected = bytes;
            }
            std::printf("\n");
            std::fflush(stdout);
        }
        std::printf("ceiling-bytes %llu\n", static_cast<unsigned long long>(expected));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velkar_bench_http: %s\n", e.what());
        return 1;
    }
    return 0;
}
