#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// AES-128-CBC with PKCS#7 padding over the enciphered fields of the signature database.

using Bytes = std::vector<std::uint8_t>;

// The cipher operations, numbered as the cipher library numbers them.
enum CipherOperation : std::uint32_t { encipherOperation = 0, decipherOperation = 1 };

// The Base64 decoding of one key text (no characters ignored); empty when it is not Base64.
Bytes decodeKeyText(const std::string& keyText);

// The field key and IV, decoded once per process (thread-safe) and kept.
const Bytes& databaseFieldKey();
const Bytes& databaseFieldIV();

// Enciphers or deciphers `data` with the first 16 bytes of the key and of the IV.
// A failing call prints "Error: <status>" and gives nothing: a failed result is never used.
std::optional<Bytes> crypt(std::span<const std::uint8_t> data, std::span<const std::uint8_t> keyData,
                           std::span<const std::uint8_t> ivData, std::uint32_t operation);

// One enciphered column: absent when it holds no bytes, fails to decipher, or
// deciphers to bytes that are not UTF-8.
std::optional<std::string> decipherField(const void* bytes, int length);

// The stored form of a field text (used by the database build tool and tests).
Bytes encipherField(const std::string& text);
