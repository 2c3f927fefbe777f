#include "infra/http.h"

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <memory>
#include <stdexcept>

#include "infra/errors.h"
#include "infra/files.h"
#include "infra/language_portable.h"
#include "infra/text.h"

namespace vk {

TransferDeadline documentDeadline;

namespace {

constexpr std::uint64_t kMaxInMemory = 0x4000000;
constexpr DWORD kLongestWaitMs = 60000;  // the session's own longest wait, for the response
constexpr DWORD kHostBuffer = 256;

std::uint32_t QueryStatus(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return status;
}

std::uint64_t QueryContentLength(HINTERNET request) {
    wchar_t text[32] = {};
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                             WINHTTP_NO_HEADER_INDEX)) {
        return 0;
    }
    return std::wcstoull(text, nullptr, 10);
}

std::string TooSlowMessage() {
    return Localized("The update server is too slow. Try again later.", "更新服务器响应太慢，请稍后再试。");
}

[[noreturn]] void ThrowTooSlow() { throw std::runtime_error(TooSlowMessage()); }

// The time one document transfer has left, by documentDeadline. Each wait of the transfer is bounded
// by it, so a wait that times out means the server was too slow.
class DocumentClock {
public:
    DocumentClock() : deadline_(documentDeadline), start_(std::chrono::steady_clock::now()) {}

    // Bounds the request's next waits by the time left, having received `received` bytes; fails when
    // none is left.
    void LimitWaits(HINTERNET request, std::uint64_t received) const {
        const std::uint64_t allowed =
            deadline_.allowanceMs + received * 1000 / std::max<std::uint64_t>(1, deadline_.minimumBytesPerSecond);
        const auto spent = static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count());
        if (spent >= allowed) ThrowTooSlow();
        DWORD left = static_cast<DWORD>(std::min<std::uint64_t>(allowed - spent, kLongestWaitMs));
        for (const DWORD option : {WINHTTP_OPTION_CONNECT_TIMEOUT, WINHTTP_OPTION_SEND_TIMEOUT,
                                   WINHTTP_OPTION_RECEIVE_TIMEOUT, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT}) {
            WinHttpSetOption(request, option, &left, sizeof left);
        }
    }

private:
    const TransferDeadline deadline_;
    const std::chrono::steady_clock::time_point start_;
};

// How a wait that timed out is reported: as the system's error, as a document past its deadline, or as
// a stalled range.
enum class TimedOut { Error, TooSlow, Stalled };

// Throws label + the system's text for the failed call, or what a time-out means to the caller.
[[noreturn]] void FailWait(TimedOut timedOut, const std::string& label) {
    const DWORD error = GetLastError();
    // Wine's WinHTTP reports a read that timed out with the socket's own code.
    const bool timeout = error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT;
    if (timeout && timedOut == TimedOut::TooSlow) ThrowTooSlow();
    if (timeout && timedOut == TimedOut::Stalled) throw RangeStalled();
    SetLastError(error);
    ThrowLastError(label);
}

// The next piece of the body that has arrived, up to `room` bytes; 0 at the end of the stream. Only
// what is already there is asked for: WinHTTP under Wine holds a read until it has filled all the
// room asked for, which would keep a slow server's transfer from noticing a stop.
DWORD ReadAvailable(HINTERNET request, unsigned char* buffer, DWORD room, TimedOut timedOut) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) FailWait(timedOut, "下载中断");
    if (available == 0) return 0;
    DWORD read = 0;
    if (!WinHttpReadData(request, buffer, std::min(available, room), &read)) FailWait(timedOut, "下载中断");
    return read;
}

void SeekTo(HANDLE file, const std::wstring& path, std::uint64_t offset) {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file, position, nullptr, FILE_BEGIN)) ThrowLastError("无法写入 " + WideToUtf8(path));
}

// The existing file, positioned at the range's first byte. It is never created here: its owner
// preallocated it at the blob's full size.
UniqueHandle OpenAtOffset(const std::wstring& path, std::uint64_t offset) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError("无法写入 " + WideToUtf8(path));
    SeekTo(file.get(), path, offset);
    return file;
}

bool RangeAnswerAcceptable(const HttpRequest& response, std::uint64_t first, std::uint64_t last,
                           std::uint64_t blobSize) {
    const bool wholeBlob = first == 0 && last + 1 == blobSize;
    const bool statusFits = response.status == 206 || (response.status == 200 && wholeBlob);
    const bool lengthFits = response.contentLength == 0 || response.contentLength == last - first + 1;
    return statusFits && lengthFits;
}

// Room to make for the next read of a body into memory: the rest of the announced length, then one
// byte to see the end; a block at a time when nothing was announced; never beyond the limit + 1.
std::uint64_t NextRoom(std::uint64_t received, std::uint64_t announced) {
    const std::uint64_t wanted = received < announced ? announced - received : announced != 0 ? 1 : TransferBuffer::size();
    return std::min({wanted, std::uint64_t{TransferBuffer::size()}, kMaxInMemory + 1 - received});
}

}  // namespace

HttpSession::HttpSession()
    : root_(WinHttpOpen(L"VelkarLauncher/1", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, WINHTTP_NO_PROXY_NAME,
                        WINHTTP_NO_PROXY_BYPASS, 0)) {
    if (!root_) ThrowLastError("网络初始化");
    WinHttpSetTimeouts(root_.get(), 15000, 15000, 30000, 60000);
}

ParsedUrl CrackUrl(const std::string& url) {
    const std::wstring wide = Utf8ToWide(url);
    std::wstring host(kHostBuffer, L'\0');
    std::wstring path(wide.size() + 1, L'\0');
    std::wstring query(wide.size() + 1, L'\0');
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host.data();
    parts.dwHostNameLength = kHostBuffer;
    parts.lpszUrlPath = path.data();
    parts.dwUrlPathLength = static_cast<DWORD>(path.size());
    parts.lpszExtraInfo = query.data();
    parts.dwExtraInfoLength = static_cast<DWORD>(query.size());
    if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
        ThrowLastError("无效地址 " + url);
    }
    ParsedUrl parsed;
    parsed.host = host.substr(0, parts.dwHostNameLength);
    parsed.path = path.substr(0, parts.dwUrlPathLength) + query.substr(0, parts.dwExtraInfoLength);
    parsed.port = parts.nPort;
    parsed.https = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return parsed;
}

namespace {

// Sends the request; its waits are bounded by the document clock, or by the idle limit of a range.
HttpRequest SendGetWithin(HttpSession& client, const std::string& url, const std::wstring& extraHeaders,
                          const DocumentClock* clock, DWORD idleLimitMs = 0) {
    const ParsedUrl parsed = CrackUrl(url);
    HttpRequest sent;
    sent.connection.reset(WinHttpConnect(client.get(), parsed.host.c_str(), parsed.port, 0));
    if (!sent.connection) ThrowLastError("连接失败");
    sent.request.reset(WinHttpOpenRequest(sent.connection.get(), L"GET", parsed.path.c_str(), nullptr,
                                          WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                          parsed.https ? WINHTTP_FLAG_SECURE : 0));
    if (!sent.request) ThrowLastError("请求失败");
    if (clock != nullptr) clock->LimitWaits(sent.request.get(), 0);
    if (idleLimitMs != 0) {
        for (const DWORD option : {WINHTTP_OPTION_RECEIVE_TIMEOUT, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT}) {
            WinHttpSetOption(sent.request.get(), option, &idleLimitMs, sizeof idleLimitMs);
        }
    }
    const wchar_t* headers = extraHeaders.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : extraHeaders.c_str();
    const DWORD headersLength = extraHeaders.empty() ? 0 : static_cast<DWORD>(-1);
    if (!WinHttpSendRequest(sent.request.get(), headers, headersLength, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(sent.request.get(), nullptr)) {
        FailWait(clock != nullptr   ? TimedOut::TooSlow
                 : idleLimitMs != 0 ? TimedOut::Stalled
                                    : TimedOut::Error,
                 "网络请求失败");
    }
    sent.status = QueryStatus(sent.request.get());
    sent.contentLength = QueryContentLength(sent.request.get());
    return sent;
}

}  // namespace

HttpRequest SendGet(HttpSession& client, const std::string& url, const std::wstring& extraHeaders) {
    return SendGetWithin(client, url, extraHeaders, nullptr);
}

HttpResponse HttpGetToMemory(HttpSession& client, const std::string& url,
                             const std::function<void(std::uint64_t, std::uint64_t)>& progress) {
    const DocumentClock clock;
    const HttpRequest sent = SendGetWithin(client, url, L"Cache-Control: no-cache\r\n", &clock);
    HttpResponse response;
    response.status = sent.status;
    // The body is read straight into the string, a block at a time. Once the announced length has
    // arrived, one byte of room is enough to see the end (or a body longer than announced), so an
    // announced body is never moved; one byte beyond the limit is enough to see a body too large.
    std::string& body = response.body;
    const std::uint64_t announced = std::min(sent.contentLength, kMaxInMemory);
    body.reserve(announced + 1);
    size_t received = 0;
    for (;;) {
        if (body.size() == received) {
            body.resize(received + NextRoom(received, announced));
        }
        clock.LimitWaits(sent.request.get(), received);
        const DWORD read = ReadAvailable(sent.request.get(), reinterpret_cast<unsigned char*>(body.data()) + received,
                                         static_cast<DWORD>(body.size() - received), TimedOut::TooSlow);
        if (read == 0) break;
        received += read;
        if (received > kMaxInMemory) throw std::runtime_error(Localized("Manifest too large", "清单过大"));
        if (progress) progress(received, sent.contentLength);
    }
    body.resize(received);
    return response;
}

std::wstring RangeHeader(std::uint64_t first, std::uint64_t last) {
    return L"Range: bytes=" + std::to_wstring(first) + L"-" + std::to_wstring(last) + L"\r\n";
}

RangeStalled::RangeStalled() : std::runtime_error(TooSlowMessage()) {}

TransferBuffer::TransferBuffer() : bytes_(std::make_unique_for_overwrite<unsigned char[]>(size())) {}

namespace {

// Sends the request for bytes first..last of a blob of blobSize bytes and refuses an answer that
// is not exactly that range.
HttpRequest SendRangeRequest(HttpSession& client, const std::string& url, std::uint64_t first, std::uint64_t last,
                             std::uint64_t blobSize, const RangeWatch& watch) {
    HttpRequest sent = SendGetWithin(client, url, RangeHeader(first, last), nullptr, watch.idleLimitMs);
    if (!RangeAnswerAcceptable(sent, first, last, blobSize)) {
        throw std::runtime_error(Localized("Download failed: HTTP ", "下载失败 HTTP ") + std::to_string(sent.status));
    }
    return sent;
}

// Writes the answer's body from the file's current position.
void WriteBody(const HttpRequest& sent, HANDLE file, const std::wstring& path, std::uint64_t expected,
               const std::atomic<bool>* stop, const WrittenBlock& written, const TransferBuffer& buffer,
               const RangeWatch& watch) {
    // Pieces gather in the buffer and go to disk a buffer at a time: a write per piece of a few KiB
    // costs more than the transfer. A stop drops what is gathered but not yet written or reported; a
    // stall writes it first, so that the rest of the range starts where this one stopped.
    std::uint64_t done = 0;
    DWORD gathered = 0;
    const auto writeGathered = [&] {
        if (gathered == 0) return;
        WriteAll(file, buffer.data(), gathered, "写入失败（磁盘已满？）" + WideToUtf8(path));
        done += gathered;
        written({buffer.data(), gathered});
        gathered = 0;
    };
    const TimedOut timedOut = watch.idleLimitMs != 0 ? TimedOut::Stalled : TimedOut::Error;
    for (;;) {
        if (stop != nullptr && stop->load()) throw Cancelled();
        DWORD room = buffer.size() - gathered;
        if (watch.largestRead != 0) room = std::min(room, watch.largestRead);
        DWORD read = 0;
        try {
            read = ReadAvailable(sent.request.get(), buffer.data() + gathered, room, timedOut);
        } catch (const RangeStalled&) {
            writeGathered();
            throw;
        }
        if (done + gathered + read > expected) {
            throw std::runtime_error(
                Localized("Download returned more data than requested", "下载内容超出请求范围"));
        }
        gathered += read;
        const bool goOn = read == 0 || !watch.received || watch.received(read);
        // A read of at most largestRead is written at once: the bytes on disk and the progress then
        // move as steadily as the reads.
        const bool full = gathered == buffer.size() || (watch.largestRead != 0 && gathered >= watch.largestRead);
        if (read == 0 || full || !goOn) writeGathered();
        if (!goOn) throw RangeStalled();
        if (read == 0) break;
    }
    if (done != expected) throw std::runtime_error(Localized("Download incomplete", "下载不完整"));
}

}  // namespace

void DownloadRange(HttpSession& client, const std::string& url, const std::wstring& path, std::uint64_t first,
                   std::uint64_t last, std::uint64_t blobSize, const std::atomic<bool>* stop,
                   const WrittenBlock& written, const TransferBuffer& buffer, const RangeWatch& watch) {
    const HttpRequest sent = SendRangeRequest(client, url, first, last, blobSize, watch);
    const UniqueHandle file = OpenAtOffset(path, first);
    WriteBody(sent, file.get(), path, last - first + 1, stop, written, buffer, watch);
}

void DownloadRange(HttpSession& client, const std::string& url, HANDLE file, const std::wstring& path,
                   std::uint64_t first, std::uint64_t last, std::uint64_t blobSize, const std::atomic<bool>* stop,
                   const WrittenBlock& written, const TransferBuffer& buffer, const RangeWatch& watch) {
    const HttpRequest sent = SendRangeRequest(client, url, first, last, blobSize, watch);
    SeekTo(file, path, first);
    WriteBody(sent, file, path, last - first + 1, stop, written, buffer, watch);
}

}  // namespace vk
