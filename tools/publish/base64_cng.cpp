// The Crypt32 back-end of the tool's Base64: the launcher's decoder, and Crypt32's encoder.
#include <windows.h>
#include <wincrypt.h>

#include <stdexcept>

#include "base64.h"
#include "infra/errors.h"
#include "infra/signature.h"

namespace vk::publish {

std::string EncodeBase64(const std::string& bytes) {
    if (bytes.empty()) return {};
    const auto data = reinterpret_cast<const BYTE*>(bytes.data());
    const auto length = static_cast<DWORD>(bytes.size());
    constexpr DWORD kFlags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD size = 0;
    if (!CryptBinaryToStringA(data, length, kFlags, nullptr, &size)) ThrowLastError("Base64");
    std::string text(size, '\0');
    if (!CryptBinaryToStringA(data, length, kFlags, text.data(), &size)) ThrowLastError("Base64");
    text.resize(size);
    return text;
}

std::optional<std::string> DecodeBase64(const std::string& text) {
    const std::optional<std::string> compact = CompactBase64(text);
    if (!compact) return std::nullopt;
    try {
        return vk::DecodeBase64(*compact, Base64Form::Bare);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
}

}  // namespace vk::publish
