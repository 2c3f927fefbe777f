#pragma once
// Result payloads cross from a worker to the window as raw pointers in a posted message. Any program
// on the desktop can post the same message numbers, so a pointer is taken only if this process made
// it for that message and has not handed it over yet; everything else is ignored.
#include <windows.h>

#include <memory>

namespace vk {

namespace payload_detail {

using Destroy = void (*)(void*);

// Records the payload as outstanding for the window and the message.
void Register(void* payload, HWND window, UINT message, Destroy destroy);
// Removes the payload if it is outstanding for the message; returns it, or nullptr when it is not ours.
void* Claim(UINT message, void* payload);
// Frees the payload if it is still outstanding.
void Discard(void* payload);

}  // namespace payload_detail

// Posts the message with the payload. The payload stays owned by this process until a handler takes
// it; a post that fails frees it at once. Returns whether the message was posted.
template <typename Payload>
bool PostPayload(HWND window, UINT message, std::unique_ptr<Payload> payload) {
    Payload* raw = payload.release();
    payload_detail::Register(raw, window, message, [](void* p) { delete static_cast<Payload*>(p); });
    // Without a window the post would land in the posting thread's own queue, which nobody reads.
    if (window != nullptr && PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(raw))) return true;
    payload_detail::Discard(raw);
    return false;
}

// The payload of a received message, owned by the caller from now on; nullptr for a message that
// this process did not post, or whose payload was already taken.
template <typename Payload>
std::unique_ptr<Payload> TakePayload(UINT message, LPARAM lParam) {
    return std::unique_ptr<Payload>(
        static_cast<Payload*>(payload_detail::Claim(message, reinterpret_cast<void*>(lParam))));
}

// Frees the payloads still queued for a window that is going away: its queue is dropped with it.
void DiscardPayloadsOf(HWND window);

// How many payloads are posted and not yet taken or freed.
std::size_t OutstandingPayloads();

}  // namespace vk
