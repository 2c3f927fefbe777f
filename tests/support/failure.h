#pragma once
// The message a failing action leaves, so a test can compare it with the player's text.
#include <functional>
#include <string>

namespace vk::test {

// The failure's message; "cancelled" for a pause and "no failure" when nothing is thrown.
std::string FailureOf(const std::function<void()>& action);

}  // namespace vk::test
