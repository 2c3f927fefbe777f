#include "engine/connection_watch.h"

#include <algorithm>
#include <vector>

namespace vk {

StallLimits stallLimits;

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

std::uint64_t ConnectionWatch::Join(Clock::time_point now) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!windowStart_) windowStart_ = now;
    Connection& connection = connections_[nextId_];
    connection.joined = now;
    return nextId_++;
}

void ConnectionWatch::Leave(std::uint64_t id) {
    std::lock_guard<std::mutex> guard(mutex_);
    connections_.erase(id);
}

bool ConnectionWatch::Received(std::uint64_t id, std::uint64_t bytes, Clock::time_point now) {
    std::lock_guard<std::mutex> guard(mutex_);
    Sample(now);
    Connection& connection = connections_.at(id);
    connection.bytes += bytes;
    return !connection.slowSince || now - *connection.slowSince < std::chrono::milliseconds(limits_.slowMs);
}

void ConnectionWatch::Sample(Clock::time_point now) {
    const Clock::duration window = now - *windowStart_;
    if (window < std::chrono::milliseconds(limits_.sampleMs)) return;
    const double seconds = std::chrono::duration<double>(window).count();
    for (auto& [id, connection] : connections_) {
        // A connection that joined during the window has no rate over all of it yet.
        connection.rate.reset();
        if (connection.joined <= *windowStart_) {
            connection.rate = static_cast<double>(connection.bytes - connection.bytesAtWindowStart) / seconds;
        }
        connection.bytesAtWindowStart = connection.bytes;
    }
    for (auto& [id, connection] : connections_) {
        std::vector<double> others;
        for (const auto& [otherId, other] : connections_) {
            if (otherId != id && other.rate) others.push_back(*other.rate);
        }
        const double median = others.empty() ? 0 : Median(others);
        const bool slow = connection.rate && median >= static_cast<double>(limits_.fastBytesPerSecond) &&
                          *connection.rate * 10 < median;
        if (!slow) {
            connection.slowSince.reset();
        } else if (!connection.slowSince) {
            connection.slowSince = *windowStart_;
        }
    }
    windowStart_ = now;
}

}  // namespace vk
