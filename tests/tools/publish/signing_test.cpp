#include "signing.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <stdexcept>

#include "base64.h"
#include "keygen.h"
#include "infra/signature_portable.h"
#include "support.h"

namespace vk::publish {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(SigningTest, PublicKeyIsTheBlockTheLauncherEmbeds) {
    const std::string pem = ReadBytes(test::Keys().publicKey);
    EXPECT_EQ(pem.size(), 636u);
    EXPECT_TRUE(pem.starts_with("-----BEGIN PUBLIC KEY-----\r\n")) << pem;
    EXPECT_TRUE(pem.ends_with("\r\n-----END PUBLIC KEY-----\r\n")) << pem;
    for (std::size_t i = pem.find('\n'); i != std::string::npos; i = pem.find('\n', i + 1)) {
        EXPECT_EQ(pem[i - 1], '\r') << "bare line feed at " << i;
    }
    const std::optional<std::string> der = DecodeBase64(pem.substr(28, pem.size() - 28 - 26));
    ASSERT_TRUE(der);
    EXPECT_EQ(der->size(), 422u);
}

#ifndef _WIN32
// Windows has no mode bits: there the key file gets the access rules of the folder it is made in.
TEST(SigningTest, PrivateKeyIsForItsOwnerOnly) {
    struct stat info {};
    ASSERT_EQ(stat(test::Keys().privateKey.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
#endif

// PKCS #1 v1.5 signatures are deterministic: the same key signs the same bytes as OpenSSL does.
TEST(SigningTest, ReadsOpenSslKeysAndSignsAsOpenSslDoes) {
    const SigningKey key = SigningKey::FromPem(ReadBytes(test::OpenSslSample("a.key")));
    const std::string document = ReadBytes(test::OpenSslSample("document.json"));
    EXPECT_EQ(key.SignBase64(document), ReadBytes(test::OpenSslSample("document.json.sig")));
    EXPECT_NO_THROW(CheckPublicKey(ReadBytes(test::OpenSslSample("a.pub.pem"))));
}

TEST(SigningTest, SignatureIsOneLineOfBase64ThatVerifiesOnlyTheExactBytes) {
    const SigningKey key = SigningKey::FromPem(ReadBytes(test::Keys().privateKey));
    const std::string publicKey = ReadBytes(test::Keys().publicKey);
    const std::string document = "{\"schema\": 1}\n";
    const std::string signature = key.SignBase64(document);
    EXPECT_EQ(signature.size(), 512u);  // 384 bytes
    EXPECT_EQ(signature.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(signature, key.SignBase64(document));
    EXPECT_TRUE(VerifySignature(document, signature, publicKey));
    EXPECT_FALSE(VerifySignature(document + "\n", signature, publicKey));
    EXPECT_FALSE(VerifySignature(document, "not base64!", publicKey));
    EXPECT_FALSE(VerifySignature(document, "", publicKey));
    EXPECT_THROW(VerifySignature(document, signature, "no key"), std::runtime_error);
}

TEST(SigningTest, OnlyRsa3072KeysSign) {
    const struct {
        std::string file;
        std::string message;
    } cases[] = {
        {"rsa2048.key", "the signing key must be an RSA key of 3072 bits"},
        {"ec.key", "the signing key must be an RSA key of 3072 bits"},
        {"a.pub.pem", "the signing key is not a PEM private key ("},
        {"document.json", "the signing key is not a PEM private key ("},
    };
    for (const auto& [file, message] : cases) {
        const std::string pem = ReadBytes(test::OpenSslSample(file));
        try {
            SigningKey::FromPem(pem);
            ADD_FAILURE() << file << " was accepted";
        } catch (const std::runtime_error& error) {
            EXPECT_TRUE(std::string(error.what()).starts_with(message)) << file << ": " << error.what();
        }
    }
}

TEST(SigningTest, KeygenNeverOverwritesAKeyFile) {
    const TempDir work;
    WriteBytes(work / "existing.pem", "keep me");
    EXPECT_THROW(WriteNewKeyPair({work / "existing.pem", work / "new.pub"}), std::runtime_error);
    EXPECT_THROW(WriteNewKeyPair({work / "new.pem", work / "existing.pem"}), std::runtime_error);
    EXPECT_EQ(ReadBytes(work / "existing.pem"), "keep me");
    EXPECT_FALSE(fs::exists(work / "new.pem"));
    EXPECT_FALSE(fs::exists(work / "new.pub"));
}

TEST(SigningTest, Base64RoundTrips) {
    for (const std::string& bytes : {std::string("f"), std::string("fo"), std::string("foo"),
                                    std::string("\0\xff\x10\x80", 4)}) {
        const std::string text = EncodeBase64(bytes);
        EXPECT_EQ(DecodeBase64(text).value_or("<none>"), bytes) << text;
    }
    EXPECT_EQ(EncodeBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(DecodeBase64("Zm9v\r\nYmE=").value_or(""), "fooba");
    EXPECT_FALSE(DecodeBase64(""));
    EXPECT_FALSE(DecodeBase64("Zm9"));
    EXPECT_FALSE(DecodeBase64("Zm9*"));
}

}  // namespace
}  // namespace vk::publish
