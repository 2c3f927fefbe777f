#include "rsa_key_der.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "base64.h"
#include "support.h"

namespace vk::publish {
namespace {

// The DER inside a PEM file: the Base64 lines between the BEGIN and END lines.
std::string DerOfPem(const std::string& pem) {
    const std::size_t begin = pem.find('\n') + 1;
    const std::size_t end = pem.find("-----END");
    return DecodeBase64(pem.substr(begin, end - begin)).value_or("");
}

TEST(RsaKeyDerTest, WritesTheBytesOpenSslWroteForTheSameKey) {
    const std::string der = DerOfPem(test::ReadBytes(test::OpenSslSample("a.key")));
    ASSERT_FALSE(der.empty());
    const RsaPrivateNumbers key = DecodePrivateKeyInfo(der);
    EXPECT_EQ(BitLength(key.modulus), 3072u);
    EXPECT_EQ(key.publicExponent, std::string("\x01\x00\x01", 3));
    EXPECT_EQ(key.prime1.size(), 192u);
    EXPECT_EQ(EncodePrivateKeyInfo(key), der);
}

TEST(RsaKeyDerTest, TellsOtherKeysFromMalformedOnes) {
    EXPECT_THROW(DecodePrivateKeyInfo(DerOfPem(test::ReadBytes(test::OpenSslSample("ec.key")))), NotAnRsaKey);
    const std::string der = DerOfPem(test::ReadBytes(test::OpenSslSample("a.key")));
    for (const std::string& bad : {std::string(), der.substr(0, der.size() - 1), der + '\0', std::string("\x30\x84", 2),
                                   std::string("\x30\x03\x02\x01\x01", 5)}) {
        try {
            DecodePrivateKeyInfo(bad);
            ADD_FAILURE() << "accepted " << bad.size() << " bytes";
        } catch (const NotAnRsaKey&) {
            ADD_FAILURE() << "called " << bad.size() << " malformed bytes another kind of key";
        } catch (const std::runtime_error&) {
        }
    }
}

TEST(RsaKeyDerTest, CountsSignificantBits) {
    EXPECT_EQ(BitLength(""), 0u);
    EXPECT_EQ(BitLength(std::string("\0\x01", 2)), 1u);
    EXPECT_EQ(BitLength("\x80"), 8u);
    EXPECT_EQ(BitLength(std::string("\x7f\0", 2)), 15u);
}

}  // namespace
}  // namespace vk::publish
