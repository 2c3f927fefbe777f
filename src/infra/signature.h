#pragma once
// The launcher's signature checks (Crypt32 and CNG) and the Base64 decoding they rest on.
#include <string>

#include "infra/signature_portable.h"

namespace vk {

enum class Base64Form {
    Bare,        // Base64 only, as in .sig documents
    PemHeaders,  // a block between "-----BEGIN ...-----" and "-----END ...-----" lines
};

// The decoded bytes; throws "Base64 解码" when the text is not in the given form.
std::string DecodeBase64(const std::string& text, Base64Form form);

}  // namespace vk
