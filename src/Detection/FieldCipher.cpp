#include "Detection/FieldCipher.h"

#include "Detection/TextValues.h"
#include "Foundation/Utf8Text.h"

#include <openssl/evp.h>

#include <memory>
#include <string>

namespace {

constexpr const char* fieldKeyText = "5C0A7E91B3D2468FA10E7C3B";
constexpr const char* fieldIVText = "2E7F40C9D81B4A36B95F0D64";

constexpr std::size_t keyLength = 16; // AES-128
constexpr std::size_t blockLength = 16;

// Statuses in the numbering of the cipher library the readers were written for.
enum CipherStatus : int {
    success = 0,
    paramError = -4300,
    alignmentError = -4303,
    decodeError = -4304,
};

struct ContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

// One cipher context per thread, set up anew for every call.
EVP_CIPHER_CTX* threadContext()
{
    thread_local std::unique_ptr<EVP_CIPHER_CTX, ContextFree> context(EVP_CIPHER_CTX_new());
    return context.get();
}

const EVP_CIPHER* aes128Cbc()
{
    static const EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr);
    return cipher;
}

int runCipher(std::span<const std::uint8_t> data, const std::uint8_t* key, const std::uint8_t* iv,
              bool encipher, Bytes& output)
{
    if (!encipher && data.size() % blockLength != 0)
        return alignmentError;
    EVP_CIPHER_CTX* context = threadContext();
    if (!context || !aes128Cbc()
        || EVP_CipherInit_ex2(context, aes128Cbc(), key, iv, encipher ? 1 : 0, nullptr) != 1)
        return paramError;
    int moved = 0;
    int last = 0;
    if (EVP_CipherUpdate(context, output.data(), &moved, data.data(), static_cast<int>(data.size())) != 1)
        return paramError;
    if (EVP_CipherFinal_ex(context, output.data() + moved, &last) != 1)
        return decodeError;
    output.resize(static_cast<std::size_t>(moved + last));
    return success;
}

} // namespace

Bytes decodeKeyText(const std::string& keyText)
{
    if (keyText.size() % 4 != 0)
        return {};
    Bytes decoded(keyText.size() / 4 * 3);
    const int length = EVP_DecodeBlock(decoded.data(), reinterpret_cast<const unsigned char*>(keyText.data()),
                                       static_cast<int>(keyText.size()));
    if (length < 0)
        return {};
    std::size_t padding = 0;
    for (auto it = keyText.rbegin(); it != keyText.rend() && *it == '=' && padding < 2; ++it)
        ++padding;
    decoded.resize(static_cast<std::size_t>(length) - padding);
    return decoded;
}

const Bytes& databaseFieldKey()
{
    static const Bytes key = decodeKeyText(fieldKeyText);
    return key;
}

const Bytes& databaseFieldIV()
{
    static const Bytes iv = decodeKeyText(fieldIVText);
    return iv;
}

std::optional<Bytes> crypt(std::span<const std::uint8_t> data, std::span<const std::uint8_t> keyData,
                           std::span<const std::uint8_t> ivData, std::uint32_t operation)
{
    Bytes output(data.size() + blockLength, 0);
    int status = paramError;
    if (keyData.size() >= keyLength && ivData.size() >= blockLength
        && (operation == encipherOperation || operation == decipherOperation))
        status = runCipher(data, keyData.data(), ivData.data(), operation == encipherOperation, output);
    if (status == success)
        return output;
    printLine("Error: " + std::to_string(status));
    return std::nullopt;
}

std::optional<std::string> decipherField(const void* bytes, int length)
{
    if (!bytes || length <= 0)
        return std::nullopt;
    const auto plain = crypt({static_cast<const std::uint8_t*>(bytes), static_cast<std::size_t>(length)},
                             databaseFieldKey(), databaseFieldIV(), decipherOperation);
    if (!plain)
        return std::nullopt;
    return utf8Text(std::string(plain->begin(), plain->end()));
}

Bytes encipherField(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return crypt({bytes, text.size()}, databaseFieldKey(), databaseFieldIV(), encipherOperation).value_or(Bytes{});
}
