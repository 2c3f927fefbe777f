#pragma once
// The error model: failures are std::runtime_error carrying one UTF-8 message for the player;
// a pause is Cancelled, which handlers catch before the general type.
#include <stdexcept>
#include <string>

namespace vk {

struct Cancelled : std::runtime_error {
    Cancelled();
};

// Throws a failure: label + "：" + the system's text for GetLastError() + "（code）".
[[noreturn]] void ThrowLastError(const std::string& operation);

// The system's text for a Windows error code, followed by the code in full-width parentheses.
std::wstring SystemErrorText(unsigned long code);

// For CNG status values: a negative status throws label + " 失败（0x" + 8 hex digits + "）".
void CheckStatus(long status, const std::string& operation);

}  // namespace vk
