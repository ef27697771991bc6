#include "Platform/Sparkle/UpdateTransfer.h"

#include "Platform/Http/HttpTransfer.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace platform {

namespace {

TransferResult transfer(const HttpRequest& request, const HttpBodySink& sink)
{
    const HttpReply reply = performHttpRequest(request, sink);
    if (reply.bodyTooLarge)
        return TransferResult::TooLarge;
    const bool success = !reply.transportError && reply.status >= 200 && reply.status < 300;
    return success ? TransferResult::Received : TransferResult::Failed;
}

} // namespace

TransferResult fetchText(const std::string& url, std::size_t maximumSize, std::string& text)
{
    text.clear();
    const auto result = transfer({url, std::nullopt, maximumSize, smallTransferDeadlines}, [&](std::string_view chunk) {
        text.append(chunk);
        return true;
    });
    if (result != TransferResult::Received)
        text.clear();
    return result;
}

TransferResult downloadFile(const std::string& url, const std::string& path, std::size_t maximumSize,
                            const TransferObserver& observer)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return TransferResult::Failed;
    std::uint64_t received = 0;
    std::uint64_t total = 0;
    const HttpRequest request{url, std::nullopt, maximumSize, largeTransferDeadlines, observer.cancelled,
                              [&total](std::uint64_t length) { total = length; }};
    auto result = transfer(request, [&](std::string_view chunk) {
        if (std::fwrite(chunk.data(), 1, chunk.size(), file.get()) != chunk.size())
            return false;
        received += chunk.size();
        if (received > total)
            total = 0; // a length the body passes says nothing
        if (observer.progress)
            observer.progress(received, total);
        return true;
    });
    if (std::fclose(file.release()) != 0 && result == TransferResult::Received)
        result = TransferResult::Failed;
    if (result != TransferResult::Received) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return result;
}

} // namespace platform
