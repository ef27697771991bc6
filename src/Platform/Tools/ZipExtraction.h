#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

enum class UnzipResult { Unpacked, TooLarge, Failed };

// "/usr/bin/unzip" "-o" <archive> [<members>] "-d" <folder>, writing no more than
// `sizeLimit` bytes in all, whatever the archive's headers list: the archive is first
// unpacked into a pipe and counted, and only one within the limit is unpacked to
// disk, each file it writes held to the limit as well (the kernel ends the tool at a
// file growing past it). TooLarge leaves nothing written; Unpacked only when the
// tool ran and ended with status 0.
[[nodiscard]] UnzipResult unzipWithinLimit(const std::string& archive, const std::vector<std::string>& members,
                                           const std::string& folder, std::uint64_t sizeLimit);

} // namespace platform
