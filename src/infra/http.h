#pragma once
// Synchronous HTTP GET over WinHTTP: small documents into memory, byte ranges of large blobs into files.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>

#include "infra/handles.h"

namespace vk {

// One WinHTTP root handle for one operation or one worker thread; never shared between threads.
class HttpSession {
public:
    HttpSession();

    HINTERNET get() const { return root_.get(); }

private:
    UniqueInternet root_;
};

struct ParsedUrl {
    std::wstring host;
    std::wstring path;  // path and query, as written in the URL
    INTERNET_PORT port = 0;
    bool https = false;
};

// Splits an http or https URL; anything else throws "无效地址 " + url.
ParsedUrl CrackUrl(const std::string& url);

// The limit of a whole-document transfer (HttpGetToMemory): it fails once it has taken longer than the
// allowance plus the time its bytes so far would take at the minimum rate. A server that stops or drips
// cannot hold the launcher for ever, and a slow but steady line still brings a large file list.
struct TransferDeadline {
    std::uint32_t allowanceMs = 120000;
    std::uint64_t minimumBytesPerSecond = 16 * 1024;
};
// Tests shorten it.
extern TransferDeadline documentDeadline;

// One GET whose response head has arrived; the body is still to be read from `request`.
struct HttpRequest {
    // Declared first so that it is closed after the request that uses it.
    UniqueInternet connection;
    UniqueInternet request;
    std::uint32_t status = 0;         // 0 when it cannot be read
    std::uint64_t contentLength = 0;  // 0 when absent or unreadable
};

// Sends a GET with the extra header lines (each ending in CR LF; empty for none) and waits for the response head.
HttpRequest SendGet(HttpSession& client, const std::string& url, const std::wstring& extraHeaders);

struct HttpResponse {
    std::uint32_t status = 0;
    std::string body;
};

// Fetches a whole document of at most 64 MiB whatever its status, within documentDeadline; the caller
// judges the status. progress(received so far, announced length or 0).
HttpResponse HttpGetToMemory(HttpSession& client, const std::string& url,
                             const std::function<void(std::uint64_t, std::uint64_t)>& progress = {});

// "Range: bytes=first-last" with CR LF, last inclusive.
std::wstring RangeHeader(std::uint64_t first, std::uint64_t last);

// The 1 MiB a transferring thread reads into, kept for all its transfers: allocating it per range
// costs more than a small range's transfer. Not thread_local: with this toolchain the storage of a
// thread_local object can be freed before its destructor runs at thread exit, which then frees a
// block some other thread is still reading into.
class TransferBuffer {
public:
    TransferBuffer();
    unsigned char* data() const { return bytes_.get(); }
    static constexpr DWORD size() { return 0x100000; }

private:
    std::unique_ptr<unsigned char[]> bytes_;
};

// Receives each block of a range right after the file accepted it, with the bytes handed to the file.
using WrittenBlock = std::function<void(std::span<const unsigned char>)>;

// What a range transfer answers to besides its bytes. A server that sends nothing for idleLimitMs (the
// response head or the next byte of the body) has stalled; `received` sees each piece as it is read
// and may wait (a speed limit) or give the connection up as stalled by returning false. Pieces are read,
// and written, at most largestRead bytes at a time.
struct RangeWatch {
    DWORD idleLimitMs = 0;  // 0: the session's own time-outs
    DWORD largestRead = 0;  // 0: the transfer buffer's size
    std::function<bool(std::size_t)> received;
};

// A range transfer given up as stalled. Every byte it had read was written and handed to `written`
// first, so the rest of the range can be asked for from where it stopped.
struct RangeStalled : std::runtime_error {
    RangeStalled();
};

// Writes bytes first..last (inclusive) of a blob of blobSize bytes into the existing file at the same offsets,
// reading through the caller's buffer. Throws Cancelled when *stop is set between reads.
void DownloadRange(HttpSession& client, const std::string& url, const std::wstring& path, std::uint64_t first,
                   std::uint64_t last, std::uint64_t blobSize, const std::atomic<bool>* stop,
                   const WrittenBlock& written, const TransferBuffer& buffer, const RangeWatch& watch = {});

// The same into a file the caller holds open for writing (and for reading, when it reads the range
// back through the same handle); `path` names the file in messages.
void DownloadRange(HttpSession& client, const std::string& url, HANDLE file, const std::wstring& path,
                   std::uint64_t first, std::uint64_t last, std::uint64_t blobSize, const std::atomic<bool>* stop,
                   const WrittenBlock& written, const TransferBuffer& buffer, const RangeWatch& watch = {});

}  // namespace vk
