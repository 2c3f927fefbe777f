#include "infra/signature.h"

#include <gtest/gtest.h>

#include "support/failure.h"
#include "support/test_env.h"

namespace vk {
namespace {

using test::FailureOf;

// Keys and a sample signed with key "a", made afresh by the fixture for every run.
std::string Signing(const std::wstring& name) { return test::ReadTestEnvFile(L"signing\\" + name); }

std::string EncodeBase64(const std::string& bytes) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<unsigned char>(bytes[i + 2]);
        text += kAlphabet[(group >> 18) & 63];
        text += kAlphabet[(group >> 12) & 63];
        text += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
        text += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    }
    return text;
}

TEST(DecodeBase64, BareAndPemForms) {
    EXPECT_EQ(DecodeBase64("SGVsbG8sIHdvcmxkIQ==", Base64Form::Bare), "Hello, world!");
    EXPECT_EQ(DecodeBase64("SGVsbG8s\r\nIHdvcmxk\r\nIQ==\r\n", Base64Form::Bare), "Hello, world!");
    EXPECT_EQ(DecodeBase64("AAD/", Base64Form::Bare), std::string("\0\0\xff", 3));
    EXPECT_EQ(DecodeBase64("-----BEGIN PUBLIC KEY-----\r\nSGVsbG8sIHdvcmxkIQ==\r\n-----END PUBLIC KEY-----\r\n",
                           Base64Form::PemHeaders),
              "Hello, world!");
    const std::string binary = std::string("\x00\x01\xfe\xff", 4) + "更新";
    EXPECT_EQ(DecodeBase64(EncodeBase64(binary), Base64Form::Bare), binary);
}

TEST(DecodeBase64, TextNotInTheFormFails) {
    for (const auto& [text, form] : {std::pair{"SGVs*bG8=", Base64Form::Bare},
                                     std::pair{"SGVsbG8sIHdvcmxkIQ==", Base64Form::PemHeaders}}) {
        const std::string message = FailureOf([&] { DecodeBase64(text, form); });
        EXPECT_EQ(message.rfind("Base64 解码：", 0), 0u) << text << ": " << message;
    }
}

class Signature : public ::testing::Test {
protected:
    const std::string document_ = Signing(L"document.json");
    const std::string signature_ = Signing(L"document.json.sig");
    const std::string keyA_ = Signing(L"a.pub.pem");
};

TEST_F(Signature, ExactSignedBytesVerify) {
    EXPECT_EQ(keyA_.size(), 636u);  // the launcher's key form: 3072 bits, CRLF line ends
    EXPECT_TRUE(VerifySignature(document_, signature_, keyA_));
    EXPECT_TRUE(VerifySignature(document_, Signing(L"document.json.sig-wrapped"), keyA_));
    EXPECT_TRUE(VerifySignature(document_, signature_, Signing(L"a.pub-lf.pem")));
}

TEST_F(Signature, EverythingElseIsFalseWithoutThrowing) {
    const std::string raw = DecodeBase64(signature_, Base64Form::Bare);
    ASSERT_EQ(raw.size(), 384u);
    std::string flipped = raw;
    flipped[200] = static_cast<char>(flipped[200] ^ 0x01);
    std::string withoutCarriageReturns = document_;
    std::erase(withoutCarriageReturns, '\r');
    const struct {
        const char* what;
        std::string data;
        std::string signature;
        std::string key;
    } cases[] = {
        {"one line feed more", document_ + "\n", signature_, keyA_},
        {"line ends normalised", withoutCarriageReturns, signature_, keyA_},
        {"empty document", "", signature_, keyA_},
        {"the other key", document_, signature_, Signing(L"b.pub.pem")},
        {"one bit of the signature flipped", document_, EncodeBase64(flipped), keyA_},
        {"signature one byte short", document_, EncodeBase64(raw.substr(0, 383)), keyA_},
        {"signature one byte long", document_, EncodeBase64(raw + "x"), keyA_},
        {"empty signature", document_, "", keyA_},
        {"signature with characters outside Base64", document_, "*" + signature_, keyA_},
        {"signature that is not Base64 at all", document_, "not a signature!", keyA_},
    };
    for (const auto& c : cases) {
        bool verified = true;
        EXPECT_NO_THROW(verified = VerifySignature(c.data, c.signature, c.key)) << c.what;
        EXPECT_FALSE(verified) << c.what;
    }
}

TEST_F(Signature, UnusableKeysThrow) {
    const struct {
        const char* what;
        std::string key;
        const char* label;
    } cases[] = {
        {"no PEM block", "MIIBojANBgkqhkiG9w0BAQEFAAOCAY8AMIIBigKCAYEA", "Base64 解码："},
        {"empty text", "", "Base64 解码："},
        {"Base64 that is not a key",
         "-----BEGIN PUBLIC KEY-----\r\nSGVsbG8sIHdvcmxkIQ==\r\n-----END PUBLIC KEY-----\r\n", "公钥格式："},
        {"the private key by mistake", Signing(L"a.key"), "公钥格式："},
        {"a public key of an algorithm CNG does not import this way", Signing(L"ed25519.pub.pem"), "公钥导入："},
    };
    for (const auto& c : cases) {
        const std::string message = FailureOf([&] { VerifySignature(document_, signature_, c.key); });
        EXPECT_EQ(message.rfind(c.label, 0), 0u) << c.what << ": " << message;
    }
}

}  // namespace
}  // namespace vk
