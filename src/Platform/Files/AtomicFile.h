#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Writes the bytes to a new temporary file beside `path` (mode 0644 less the umask),
// flushes it and renames it over `path`. The file has no name while it is filled
// where the file system allows (O_TMPFILE), so a writer cut short leaves nothing;
// elsewhere it is ".<name>.XXXXXX" from the start. On failure nothing at `path`
// changes and the temporary file is gone.
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);
[[nodiscard]] bool writeFileAtomically(const std::string& path, const std::string& text);

// Removes the temporary files of writers of `path` that were cut short (regular files
// named ".<name>." and six letters or digits, beside it). Call only where no other
// writer of `path` can be at work: under the lock that every writer of it holds.
void removeStaleTemporaryFiles(const std::string& path);

} // namespace platform
