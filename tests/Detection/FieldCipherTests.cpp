#include "Detection/FieldCipher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

Bytes fromHex(const std::string& hex)
{
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::optional<std::string> decipher(const Bytes& bytes)
{
    return decipherField(bytes.data(), static_cast<int>(bytes.size()));
}

TEST(FieldCipher, KeyAndIVAreTheBase64DecodingOfTheirTexts)
{
    EXPECT_EQ(databaseFieldKey().size(), 18u);
    EXPECT_EQ(databaseFieldIV().size(), 18u);
    EXPECT_EQ(Bytes(databaseFieldKey().begin(), databaseFieldKey().begin() + 16),
              fromHex("e42d00ec4f750770f6e3af05035d04ec"));
    EXPECT_TRUE(decodeKeyText("not base64!").empty());
}

TEST(FieldCipher, DeciphersKnownCiphertexts)
{
    // AES-128-CBC/PKCS#7 under the field key and IV, made with the openssl tool.
    EXPECT_EQ(decipher(fromHex("bd94766f33c551faa44c62da1cf1aa05")), "abc");
    EXPECT_EQ(decipher(fromHex("bd92d84614ad588c2912acb8afc25c98")), "");
    EXPECT_EQ(encipherField("abc"), fromHex("bd94766f33c551faa44c62da1cf1aa05"));
}

TEST(FieldCipher, EmptyColumnIsAbsentWithoutCipherCall)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(decipherField(nullptr, 0), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(FieldCipher, FailingDecipherIsAbsentWithOneErrorLine)
{
    const struct {
        const char* name;
        Bytes column;
    } cases[] = {
        {"15 bytes", Bytes(15, 0x41)},
        {"bad padding", fromHex("00112233445566778899aabbccddeeff")},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        EXPECT_EQ(decipher(c.column), std::nullopt) << c.name;
        const auto printed = testing::internal::GetCapturedStdout();
        EXPECT_TRUE(printed.starts_with("Error: -")) << c.name << ": " << printed;
        EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << c.name;
    }
}

TEST(FieldCipher, InvalidUtf8IsAbsent)
{
    for (const std::string plain : {"\xff\xfe", "a\xc0\xaf", "\xed\xa0\x80", "caf\xc3"})
        EXPECT_EQ(decipher(encipherField(plain)), std::nullopt);
    EXPECT_EQ(decipher(encipherField("caf\xc3\xa9 \xf0\x9f\x9b\xa1")), "caf\xc3\xa9 \xf0\x9f\x9b\xa1");
}

TEST(FieldCipher, CryptRejectsShortKeyAndUnknownOperation)
{
    const Bytes data(16, 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(crypt(data, Bytes(8, 1), databaseFieldIV(), decipherOperation), std::nullopt);
    EXPECT_EQ(crypt(data, databaseFieldKey(), databaseFieldIV(), 7), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error: -4300\nError: -4300\n");
}

} // namespace
