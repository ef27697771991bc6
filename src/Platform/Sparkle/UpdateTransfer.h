#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

enum class TransferResult { Received, Failed, TooLarge };

// The text at `url` (a feed) into `text`, within the deadlines of a small file; a
// body over `maximumSize` bytes ends the transfer as it arrives (TooLarge), an error
// answer, an address or redirect that is not http or https, or a broken or late
// transfer is Failed.
[[nodiscard]] TransferResult fetchText(const std::string& url, std::size_t maximumSize, std::string& text);

// What a download tells and asks as it runs: `progress` hears the bytes received so
// far as they arrive, and the answer's Content-Length as the total (0 when it has none,
// or once the bytes received pass it); setting `cancelled` stops it (Failed).
struct TransferObserver {
    std::function<void(std::uint64_t received, std::uint64_t total)> progress;
    const std::atomic<bool>* cancelled = nullptr;
};

// Downloads a release into `path` (created or replaced), limited as fetchText but
// within the deadlines of a large file; after a failure no file is left at `path`.
[[nodiscard]] TransferResult downloadFile(const std::string& url, const std::string& path, std::size_t maximumSize,
                                          const TransferObserver& observer = {});

} // namespace platform
