#pragma once
// The stall rules of a download's connections: a connection whose rate stays far below the others'
// while they are fast is given up, so that its range goes to a connection that moves. (A connection
// that sends nothing at all is caught by the transfer's own idle limit.)
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

namespace vk {

struct StallLimits {
    std::uint32_t idleMs = 10000;                   // no byte for this long: the connection has stalled
    std::uint32_t slowMs = 15000;                   // below a tenth of the others' median rate for this long: stalled
    std::uint32_t sampleMs = 1000;                  // rates are measured over windows of this length
    std::uint64_t fastBytesPerSecond = 256 * 1024;  // the others' median below this is not fast
};
// Tests shorten it.
extern StallLimits stallLimits;

class ConnectionWatch {
public:
    using Clock = std::chrono::steady_clock;

    explicit ConnectionWatch(const StallLimits& limits) : limits_(limits) {}

    // A connection that is busy from `now` on, until it leaves.
    std::uint64_t Join(Clock::time_point now);
    void Leave(std::uint64_t id);

    // Counts bytes the connection read; false once it has been too slow for too long.
    bool Received(std::uint64_t id, std::uint64_t bytes, Clock::time_point now);

private:
    struct Connection {
        std::uint64_t bytes = 0;
        std::uint64_t bytesAtWindowStart = 0;
        Clock::time_point joined;
        std::optional<double> rate;  // bytes per second over the last window; none before a whole one
        std::optional<Clock::time_point> slowSince;
    };

    // Closes the window once it has lasted sampleMs: every connection's rate over it, and which are slow.
    void Sample(Clock::time_point now);

    const StallLimits limits_;
    std::mutex mutex_;  // guards everything below
    std::map<std::uint64_t, Connection> connections_;
    std::uint64_t nextId_ = 0;
    std::optional<Clock::time_point> windowStart_;
};

// One connection in the watch for as long as it is busy.
class WatchedConnection {
public:
    WatchedConnection(ConnectionWatch& watch, ConnectionWatch::Clock::time_point now)
        : watch_(watch), id_(watch.Join(now)) {}
    ~WatchedConnection() { watch_.Leave(id_); }
    WatchedConnection(const WatchedConnection&) = delete;
    WatchedConnection& operator=(const WatchedConnection&) = delete;

    bool Received(std::uint64_t bytes, ConnectionWatch::Clock::time_point now) {
        return watch_.Received(id_, bytes, now);
    }

private:
    ConnectionWatch& watch_;
    const std::uint64_t id_;
};

}  // namespace vk
