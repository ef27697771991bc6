#include "Foundation/Downloads.h"

#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Files/AtomicFile.h"

#include <filesystem>

namespace {

std::optional<DownloadError> fetchInto(const std::string& url, const std::string& destination, const DownloadLimits& limits)
{
    const auto reply = platform::performHttpRequest({url, std::nullopt, limits.maximumSize, limits.deadlines});
    if (reply.transportError)
        return DownloadError{reply.bodyTooLarge ? DownloadError::Kind::TooLarge : DownloadError::Kind::Transport, 0,
                             *reply.transportError};
    if (reply.status != 200)
        return DownloadError{DownloadError::Kind::HttpStatus, reply.status,
                             "the server answered with HTTP status " + std::to_string(reply.status)};
    if (!platform::writeFileAtomically(destination, reply.body))
        return DownloadError{DownloadError::Kind::Write, reply.status, "cannot write " + destination};
    return std::nullopt;
}

} // namespace

void downloadFile(const std::optional<std::string>& from, const std::string& to, const DownloadLimits& limits,
                  DownloadCompletion completion)
{
    std::error_code ignored;
    if (!from || std::filesystem::exists(to, ignored)) {
        completion(to, std::nullopt);
        return;
    }
    platform::dispatch::asyncOnOwnThread([url = *from, to, limits, completion = std::move(completion)] {
        completion(to, fetchInto(url, to, limits));
    });
}
