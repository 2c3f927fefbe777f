#include "support/failure.h"

#include "infra/errors.h"

namespace vk::test {

std::string FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Cancelled&) {
        return "cancelled";
    } catch (const std::exception& e) {
        return e.what();
    }
    return "no failure";
}

}  // namespace vk::test
