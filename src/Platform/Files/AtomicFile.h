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

} // namespace platform
