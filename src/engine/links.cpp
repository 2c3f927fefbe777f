#include "engine/links.h"

#include <windows.h>

#include "infra/errors.h"
#include "infra/language_portable.h"
#include "infra/paths.h"
#include "infra/text.h"

namespace vk {

namespace {

std::uint32_t ReportedAttributes(const std::wstring&, std::uint32_t reported) { return reported; }

std::uint32_t AttributesOf(const std::wstring& path) { return scanAttributes(path, GetFileAttributesW(path.c_str())); }

// Calls visit(prefix) for root\a, root\a\b, ... root\relative in turn until it returns true.
template <class Visit>
bool AnyComponent(const std::wstring& relative, Visit visit) {
    for (std::size_t end = 0; end <= relative.size(); ++end) {
        if (end != relative.size() && relative[end] != L'\\') continue;
        if (end > 0 && visit(relative.substr(0, end))) return true;
    }
    return false;
}

}  // namespace

ScanAttributesHook scanAttributes = &ReportedAttributes;

bool IsLink(const std::wstring& path, std::uint32_t reported) {
    const std::uint32_t attributes = scanAttributes(path, reported);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::wstring LinkedComponent(const std::wstring& root, const std::wstring& relative) {
    std::wstring linked;
    AnyComponent(relative, [&](const std::wstring& prefix) {
        const std::wstring path = JoinPath(root, prefix);
        if (!IsLink(path, GetFileAttributesW(path.c_str()))) return false;
        linked = prefix;
        return true;
    });
    return linked;
}

std::runtime_error LinkRefusal(const std::wstring& relative) {
    const std::string name = WideToUtf8(relative);
    return std::runtime_error(Localized("Remove the link from the game data folder and retry: " + name,
                                        "请从游戏资源目录移除链接后重试：" + name));
}

void FolderPlacer::Create(const std::wstring& relative) {
    AnyComponent(relative, [&](const std::wstring& prefix) {
        if (known_.contains(prefix)) return false;
        const std::wstring path = JoinPath(root_, prefix);
        std::uint32_t attributes = AttributesOf(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // Another program may make it at the same moment; what is there then is judged below.
            if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
                ThrowLastError("无法创建目录 " + WideToUtf8(path));
            }
            attributes = AttributesOf(path);
        }
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
            throw LinkRefusal(prefix);
        }
        known_.insert(prefix);
        return false;
    });
}

}  // namespace vk
