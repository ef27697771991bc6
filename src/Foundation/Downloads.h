#pragma once

#include "Platform/Http/HttpTransfer.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

struct DownloadError {
    enum class Kind { Transport, TooLarge, HttpStatus, Write };
    Kind kind;
    long httpStatus; // the answer's status; 0 when no HTTP answer came
    std::string message;
};

// What a download may take: its body's size (after content decoding) and its time.
struct DownloadLimits {
    std::size_t maximumSize;
    platform::TransferDeadlines deadlines;
};

using DownloadCompletion =
    std::function<void(const std::string& destinationPath, const std::optional<DownloadError>& error)>;

// The one scheme of the downloaders. When a file exists at `to`, or `from` is
// null, nothing is fetched and the completion runs at once on the calling thread
// with no error. Otherwise the file is fetched with a GET on a background thread
// and the completion runs there exactly once: with no error after an HTTP 200
// whose body was written whole (atomically) to `to`, else with an error and
// nothing written. A body over the size limit, or a transfer past its deadlines,
// is an error, found while it arrives. The end of the process waits for a fetch
// under way (finishGlobalQueue); one asked for after that end is dropped, and its
// completion never runs.
void downloadFile(const std::optional<std::string>& from, const std::string& to, const DownloadLimits& limits,
                  DownloadCompletion completion);
