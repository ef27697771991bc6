#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Writes the bytes to a unique temporary file beside `path` (mode 0644 less the
// umask), flushes it and renames it over `path`. On failure nothing at `path`
// changes and the temporary file is gone.
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::string& text);

// Reads a whole file; false when it cannot be read or is no regular file.
[[nodiscard]] bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes);
// The same from an open descriptor, read from its current offset (the descriptor stays open).
[[nodiscard]] bool readOpenFile(int fd, std::vector<std::uint8_t>& bytes);

} // namespace platform
