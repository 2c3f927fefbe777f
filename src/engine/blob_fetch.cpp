#include <stdexcept>

#include "engine/store_layout_portable.h"
#include "engine/updater.h"
#include "infra/errors.h"
#include "infra/http.h"
#include "infra/language_portable.h"
#include "infra/sha256.h"

namespace vk {

std::string Updater::FetchBlob(const std::string& sha256, std::uint64_t size, std::atomic<std::uint64_t>* progress,
                               const std::atomic<bool>* stop) const {
    const auto stopped = [stop] { return stop != nullptr && stop->load(); };
    if (stopped()) throw Cancelled();
    HttpSession session;
    const auto onRead = [progress, &stopped](std::uint64_t received, std::uint64_t) {
        if (progress != nullptr) progress->store(received);
        if (stopped()) throw Cancelled();
    };
    HttpResponse response = HttpGetToMemory(session, StoreUrl(baseUrl, BlobAddress(sha256)), onRead);
    if (response.status != 200) {
        throw std::runtime_error(Localized("Download failed: HTTP ", "下载失败 HTTP ") +
                                 std::to_string(response.status));
    }
    if (response.body.size() != size || Sha256Hex(response.body) != sha256) {
        throw std::runtime_error(Localized("Downloaded data failed verification.", "下载内容校验失败。"));
    }
    return std::move(response.body);
}

}  // namespace vk
