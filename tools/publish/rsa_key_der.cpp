#include "rsa_key_der.h"

#include <stdexcept>

namespace vk::publish {
namespace {

constexpr unsigned char kInteger = 0x02;
constexpr unsigned char kOctetString = 0x04;
constexpr unsigned char kNull = 0x05;
constexpr unsigned char kObjectId = 0x06;
constexpr unsigned char kSequence = 0x30;

// 1.2.840.113549.1.1.1
const std::string kRsaEncryption("\x2a\x86\x48\x86\xf7\x0d\x01\x01\x01", 9);

std::string Element(unsigned char tag, const std::string& content) {
    std::string element(1, static_cast<char>(tag));
    const std::size_t length = content.size();
    if (length < 0x80) {
        element += static_cast<char>(length);
    } else {
        std::string bytes;
        for (std::size_t rest = length; rest > 0; rest >>= 8) {
            bytes.insert(bytes.begin(), static_cast<char>(rest & 0xFF));
        }
        element += static_cast<char>(0x80 | bytes.size());
        element += bytes;
    }
    return element + content;
}

// A non-negative INTEGER: a zero byte in front when the top bit is set, so it does not read as negative.
std::string Integer(const std::string& number) {
    if (number.empty()) return Element(kInteger, std::string(1, '\0'));
    const bool topBit = (static_cast<unsigned char>(number.front()) & 0x80) != 0;
    return Element(kInteger, topBit ? '\0' + number : number);
}

// Reads the elements of one DER value in order.
class Reader {
public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}

    std::string Read(unsigned char tag, const char* what) {
        if (pos_ + 2 > bytes_.size() || static_cast<unsigned char>(bytes_[pos_]) != tag) Fail(what);
        std::size_t length = static_cast<unsigned char>(bytes_[pos_ + 1]);
        pos_ += 2;
        if (length >= 0x80) {
            const std::size_t count = length & 0x7F;
            if (count == 0 || count > 4 || pos_ + count > bytes_.size()) Fail(what);
            length = 0;
            for (std::size_t i = 0; i < count; ++i) length = (length << 8) | static_cast<unsigned char>(bytes_[pos_++]);
        }
        if (length > bytes_.size() - pos_) Fail(what);
        const std::string content = bytes_.substr(pos_, length);
        pos_ += length;
        return content;
    }

    // A non-negative INTEGER without its sign byte.
    std::string ReadNumber(const char* what) {
        std::string number = Read(kInteger, what);
        if (number.empty() || (static_cast<unsigned char>(number.front()) & 0x80) != 0) Fail(what);
        const std::size_t first = number.find_first_not_of('\0');
        return first == std::string::npos ? std::string() : number.substr(first);
    }

    void ExpectEnd(const char* what) const {
        if (pos_ != bytes_.size()) Fail(what);
    }

private:
    [[noreturn]] static void Fail(const char* what) {
        throw std::runtime_error(std::string("malformed ") + what);
    }

    const std::string& bytes_;
    std::size_t pos_ = 0;
};

std::string EncodeRsaPrivateKey(const RsaPrivateNumbers& key) {
    return Element(kSequence, Integer({}) + Integer(key.modulus) + Integer(key.publicExponent) +
                                  Integer(key.privateExponent) + Integer(key.prime1) + Integer(key.prime2) +
                                  Integer(key.exponent1) + Integer(key.exponent2) + Integer(key.coefficient));
}

}  // namespace

std::string EncodePrivateKeyInfo(const RsaPrivateNumbers& key) {
    const std::string algorithm = Element(kSequence, Element(kObjectId, kRsaEncryption) + Element(kNull, {}));
    return Element(kSequence, Integer({}) + algorithm + Element(kOctetString, EncodeRsaPrivateKey(key)));
}

RsaPrivateNumbers DecodePrivateKeyInfo(const std::string& der) {
    Reader outer(der);
    const std::string info = outer.Read(kSequence, "PrivateKeyInfo");
    outer.ExpectEnd("PrivateKeyInfo");
    Reader fields(info);
    if (!fields.ReadNumber("PrivateKeyInfo version").empty()) {
        throw std::runtime_error("unknown PrivateKeyInfo version");
    }
    const std::string algorithm = fields.Read(kSequence, "PrivateKeyInfo algorithm");
    const std::string key = fields.Read(kOctetString, "PrivateKeyInfo key");
    if (Reader(algorithm).Read(kObjectId, "PrivateKeyInfo algorithm") != kRsaEncryption) {
        throw NotAnRsaKey("not an RSA key");
    }
    return DecodeRsaPrivateKey(key);
}

RsaPrivateNumbers DecodeRsaPrivateKey(const std::string& der) {
    Reader outer(der);
    const std::string sequence = outer.Read(kSequence, "RSAPrivateKey");
    outer.ExpectEnd("RSAPrivateKey");
    Reader fields(sequence);
    if (!fields.ReadNumber("RSAPrivateKey version").empty()) throw std::runtime_error("unknown RSAPrivateKey version");
    RsaPrivateNumbers key;
    for (std::string* number : {&key.modulus, &key.publicExponent, &key.privateExponent, &key.prime1, &key.prime2,
                                &key.exponent1, &key.exponent2, &key.coefficient}) {
        *number = fields.ReadNumber("RSAPrivateKey number");
    }
    fields.ExpectEnd("RSAPrivateKey");
    return key;
}

std::size_t BitLength(const std::string& number) {
    const std::size_t first = number.find_first_not_of('\0');
    if (first == std::string::npos) return 0;
    std::size_t bits = (number.size() - first) * 8;
    for (unsigned top = static_cast<unsigned char>(number[first]); (top & 0x80) == 0; top <<= 1) --bits;
    return bits;
}

}  // namespace vk::publish
