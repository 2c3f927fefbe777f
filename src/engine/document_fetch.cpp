#include "engine/document_fetch.h"

#include <stdexcept>

#include "infra/http.h"
#include "infra/language_portable.h"

namespace vk {

std::string FetchDocument(HttpSession& session, const std::string& url) {
    HttpResponse response = HttpGetToMemory(session, url, {});
    if (response.status != 200) {
        throw std::runtime_error(Localized("Could not get update info: HTTP ", "无法获取更新信息：HTTP ") +
                                 std::to_string(response.status));
    }
    return std::move(response.body);
}

}  // namespace vk
