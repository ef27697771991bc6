#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum class TransferResult { Received, Failed, TooLarge };

// The text at `url` into `text`; a body over `maximumSize` bytes ends the transfer
// as it arrives (TooLarge), an error answer or a broken transfer is Failed.
[[nodiscard]] TransferResult fetchText(const std::string& url, std::size_t maximumSize, std::string& text);

// Downloads into `path` (created or replaced), as fetchText limits it; after a
// failure no file is left at `path`.
[[nodiscard]] TransferResult downloadFile(const std::string& url, const std::string& path, std::size_t maximumSize);

} // namespace platform
