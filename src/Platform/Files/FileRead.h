#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The largest file read whole when the caller names no smaller limit.
inline constexpr std::size_t maximumFileReadSize = std::size_t{64} << 20;

// Every file the programs read goes through here. Only a regular file is opened
// (a link is followed only when it ends at one: a FIFO, socket, device or folder
// is never opened), and it is opened without blocking. A file replaced while it
// is opened (another process's atomic replace) is opened again, a few times at
// most, so the reader gets the new file. An entry that exists but is
// no regular file, or one larger than the limit, is refused with one line on
// standard output (once for each entry at a path); a missing file is refused silently.

// Tells that a file was skipped: one line naming it and why (`reason` follows the
// quoted path), once for each entry at a path in a process, as the refusals here
// are told.
void reportSkippedFile(const std::string& path, const std::string& reason);

// A descriptor open for reading on the regular file at `path`; -1 when refused.
[[nodiscard]] int openRegularFile(const std::string& path);

// Reads what is left of an open regular file (the descriptor stays open); false
// when it fails or the file holds more than `maximumSize` bytes. `path` names it
// in the refusal's line.
[[nodiscard]] bool readOpenFile(int fd, const std::string& path, std::vector<std::uint8_t>& bytes,
                                std::size_t maximumSize = maximumFileReadSize);

[[nodiscard]] bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                                 std::size_t maximumSize = maximumFileReadSize);

// The file's bytes as text; null when refused.
std::optional<std::string> readTextFile(const std::string& path, std::size_t maximumSize = maximumFileReadSize);

} // namespace platform
