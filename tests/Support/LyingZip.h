#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// Rewrites, in the bytes of a zip archive, the unpacked size that `member`'s local
// header and central-directory entry give: an archive whose listing lies.
inline void claimUnpackedSize(std::string& archive, const std::string& member, std::uint32_t size)
{
    const auto readShort = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(archive[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(archive[at + 1])) << 8;
    };
    // Signature, offset of the unpacked size, of the name's length, of the name.
    struct Header {
        const char* signature;
        std::size_t sizeAt, nameLengthAt, nameAt;
    };
    for (const Header& header : {Header{"PK\x03\x04", 22, 26, 30}, Header{"PK\x01\x02", 24, 28, 46}}) {
        for (auto at = archive.find(header.signature); at != std::string::npos;
             at = archive.find(header.signature, at + 4)) {
            if (at + header.nameAt > archive.size() ||
                archive.compare(at + header.nameAt, readShort(at + header.nameLengthAt), member) != 0)
                continue;
            for (std::size_t byte = 0; byte < 4; ++byte)
                archive[at + header.sizeAt + byte] = static_cast<char>((size >> (8 * byte)) & 0xff);
        }
    }
}

} // namespace testsupport
