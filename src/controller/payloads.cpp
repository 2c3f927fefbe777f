#include "controller/payloads.h"

#include <map>
#include <mutex>
#include <vector>

namespace vk {

namespace {

struct Outstanding {
    HWND window;
    UINT message;
    payload_detail::Destroy destroy;
};

// Never destroyed: detached workers may still post while the process exits.
struct Registry {
    std::mutex lock;
    std::map<void*, Outstanding> live;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;
    return *registry;
}

}  // namespace

namespace payload_detail {

void Register(void* payload, HWND window, UINT message, Destroy destroy) {
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> guard(registry.lock);
    registry.live[payload] = Outstanding{window, message, destroy};
}

void* Claim(UINT message, void* payload) {
    if (payload == nullptr) return nullptr;
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> guard(registry.lock);
    const auto found = registry.live.find(payload);
    if (found == registry.live.end() || found->second.message != message) return nullptr;
    registry.live.erase(found);
    return payload;
}

void Discard(void* payload) {
    Destroy destroy = nullptr;
    {
        Registry& registry = TheRegistry();
        const std::lock_guard<std::mutex> guard(registry.lock);
        const auto found = registry.live.find(payload);
        if (found == registry.live.end()) return;
        destroy = found->second.destroy;
        registry.live.erase(found);
    }
    destroy(payload);
}

}  // namespace payload_detail

void DiscardPayloadsOf(HWND window) {
    std::vector<std::pair<void*, payload_detail::Destroy>> dropped;
    {
        Registry& registry = TheRegistry();
        const std::lock_guard<std::mutex> guard(registry.lock);
        for (auto it = registry.live.begin(); it != registry.live.end();) {
            if (it->second.window == window) {
                dropped.emplace_back(it->first, it->second.destroy);
                it = registry.live.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& [payload, destroy] : dropped) destroy(payload);
}

std::size_t OutstandingPayloads() {
    Registry& registry = TheRegistry();
    const std::lock_guard<std::mutex> guard(registry.lock);
    return registry.live.size();
}

}  // namespace vk
