#pragma once

#include "Platform/Tools/ToolProcess.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class UnzipResult { Unpacked, TooLarge, Failed };

// "/usr/bin/unzip" with `arguments`, started through setsid in a session of its own:
// with no controlling terminal it never waits on a password typed at one, and an
// encrypted member fails the run.
[[nodiscard]] std::optional<ToolProcess> launchUnzip(const std::vector<std::string>& arguments,
                                                     ToolProcess::Capture capture);

// "/usr/bin/unzip" "-o" <archive> [<members>] "-d" <folder>, writing no more than
// `sizeLimit` bytes in all, whatever the archive's headers list: the archive is first
// unpacked into a pipe and counted, and only one within the limit is unpacked to
// disk, each file it writes held to the limit as well (the kernel ends the tool at a
// file growing past it). TooLarge leaves nothing written; Unpacked only when the
// tool ran and ended with status 0 (an encrypted member is Failed, with nothing written).
[[nodiscard]] UnzipResult unzipWithinLimit(const std::string& archive, const std::vector<std::string>& members,
                                           const std::string& folder, std::uint64_t sizeLimit);

} // namespace platform
