#pragma once

#include <algorithm>
#include <cstdint>
#include <string>

namespace testsupport {

// A zip archive of `members` empty stored files ("m0", "m1", ...), written straight
// from its records; past 65,535 members its end record is the ZIP64 one.
inline std::string crowdedZip(std::uint64_t members)
{
    std::string zip;
    std::string directory;
    const auto put = [](std::string& out, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    for (std::uint64_t i = 0; i < members; ++i) {
        const std::string name = "m" + std::to_string(i);
        const std::uint64_t offset = zip.size();
        put(zip, 0x04034b50, 4);
        put(zip, 10, 2);          // version needed
        put(zip, 0, 2 + 2 + 4);   // flags, method (stored), time and date
        put(zip, 0, 4 + 4 + 4);   // CRC and sizes of no bytes
        put(zip, name.size(), 2);
        put(zip, 0, 2);
        zip += name;
        put(directory, 0x02014b50, 4);
        put(directory, 0x031e, 2); // made on Unix
        put(directory, 10, 2);
        put(directory, 0, 2 + 2 + 4 + 4 + 4 + 4);
        put(directory, name.size(), 2);
        put(directory, 0, 2 + 2 + 2 + 2);
        put(directory, std::uint64_t{0100644} << 16, 4);
        put(directory, offset, 4);
        directory += name;
    }
    const std::uint64_t directoryAt = zip.size();
    zip += directory;
    const std::uint64_t zip64EndAt = zip.size();
    put(zip, 0x06064b50, 4);
    put(zip, 44, 8); // the record's size past this field
    put(zip, 45, 2);
    put(zip, 45, 2);
    put(zip, 0, 4 + 4);
    put(zip, members, 8);
    put(zip, members, 8);
    put(zip, directory.size(), 8);
    put(zip, directoryAt, 8);
    put(zip, 0x07064b50, 4);
    put(zip, 0, 4);
    put(zip, zip64EndAt, 8);
    put(zip, 1, 4);
    put(zip, 0x06054b50, 4);
    put(zip, 0, 2 + 2);
    put(zip, std::min<std::uint64_t>(members, 0xffff), 2);
    put(zip, std::min<std::uint64_t>(members, 0xffff), 2);
    put(zip, directory.size(), 4);
    put(zip, directoryAt, 4);
    put(zip, 0, 2);
    return zip;
}

} // namespace testsupport
