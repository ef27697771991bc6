#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

inline void appendBigEndian(Bytes& bytes, std::uint64_t value, std::size_t size)
{
    for (std::size_t i = size; i-- > 0;)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A binary plist of `objects`, each its marker and what follows it, references in
// them `referenceSize` bytes wide; the first is the top.
inline Bytes binaryPlist(const std::vector<Bytes>& objects, std::size_t referenceSize)
{
    Bytes bytes{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(bytes.size());
        bytes.insert(bytes.end(), object.begin(), object.end());
    }
    const std::uint64_t offsetTable = bytes.size();
    for (const auto offset : offsets)
        appendBigEndian(bytes, offset, 4);
    bytes.insert(bytes.end(), 6, 0);
    bytes.push_back(4); // offset size
    bytes.push_back(static_cast<std::uint8_t>(referenceSize));
    appendBigEndian(bytes, objects.size(), 8);
    appendBigEndian(bytes, 0, 8);
    appendBigEndian(bytes, offsetTable, 8);
    return bytes;
}

// A binary plist of `levels` arrays, each referring to the next twice, the last
// empty: a few hundred bytes that stand for 2^levels - 1 values.
inline Bytes doublingBinaryPlist(std::size_t levels)
{
    std::vector<Bytes> objects;
    for (std::size_t i = 0; i + 1 < levels; ++i) {
        Bytes array{0xA2};
        appendBigEndian(array, i + 1, 2);
        appendBigEndian(array, i + 1, 2);
        objects.push_back(array);
    }
    objects.push_back({0xA0});
    return binaryPlist(objects, 2);
}

// A binary plist of `size` bytes whose trailer claims `claimed` objects: one real
// object (false) and a table of one-byte offsets to it, as long as the file holds.
inline Bytes lyingTrailerBinaryPlist(std::size_t size, std::uint64_t claimed)
{
    Bytes bytes{'b', 'p', 'l', 'i', 's', 't', '0', '0', 0x08};
    bytes.resize(size - 32, 8);
    bytes.insert(bytes.end(), 6, 0);
    bytes.push_back(1); // offset size
    bytes.push_back(1); // reference size
    appendBigEndian(bytes, claimed, 8);
    appendBigEndian(bytes, 0, 8);
    appendBigEndian(bytes, 9, 8); // the offset table follows the object
    return bytes;
}

} // namespace testsupport
