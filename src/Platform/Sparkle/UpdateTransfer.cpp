#include "Platform/Sparkle/UpdateTransfer.h"

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>

namespace platform {

namespace {

using Sink = std::function<bool(const char*, std::size_t)>;

// The sink and the bytes it may still take.
struct LimitedSink {
    Sink sink;
    std::size_t room;
    bool overflowed = false;
};

std::size_t writeToSink(char* data, std::size_t size, std::size_t count, void* target)
{
    auto& limited = *static_cast<LimitedSink*>(target);
    const std::size_t length = size * count;
    if (length > limited.room) {
        limited.overflowed = true;
        return 0; // ends the transfer
    }
    limited.room -= length;
    return limited.sink(data, length) ? length : 0;
}

TransferResult transfer(const std::string& url, std::size_t maximumSize, Sink sink)
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(initialised ? curl_easy_init() : nullptr,
                                                             curl_easy_cleanup);
    if (!curl)
        return TransferResult::Failed;
    LimitedSink limited{std::move(sink), maximumSize};
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 30L);
    // A declared length over the limit fails before the body comes.
    curl_easy_setopt(curl.get(), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maximumSize));
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeToSink);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &limited);
    const CURLcode result = curl_easy_perform(curl.get());
    if (limited.overflowed || result == CURLE_FILESIZE_EXCEEDED)
        return TransferResult::TooLarge;
    return result == CURLE_OK ? TransferResult::Received : TransferResult::Failed;
}

} // namespace

TransferResult fetchText(const std::string& url, std::size_t maximumSize, std::string& text)
{
    text.clear();
    const auto result = transfer(url, maximumSize, [&](const char* data, std::size_t size) {
        text.append(data, size);
        return true;
    });
    if (result != TransferResult::Received)
        text.clear();
    return result;
}

TransferResult downloadFile(const std::string& url, const std::string& path, std::size_t maximumSize)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return TransferResult::Failed;
    auto result = transfer(url, maximumSize, [&](const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, file.get()) == size;
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
