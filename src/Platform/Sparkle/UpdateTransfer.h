#pragma once

#include <cstddef>
#include <string>

namespace platform {

enum class TransferResult { Received, Failed, TooLarge };

// The text at `url` (a feed) into `text`, within the deadlines of a small file; a
// body over `maximumSize` bytes ends the transfer as it arrives (TooLarge), an error
// answer, an address or redirect that is not http or https, or a broken or late
// transfer is Failed.
[[nodiscard]] TransferResult fetchText(const std::string& url, std::size_t maximumSize, std::string& text);

// Downloads a release into `path` (created or replaced), limited as fetchText but
// within the deadlines of a large file; after a failure no file is left at `path`.
[[nodiscard]] TransferResult downloadFile(const std::string& url, const std::string& path, std::size_t maximumSize);

} // namespace platform
