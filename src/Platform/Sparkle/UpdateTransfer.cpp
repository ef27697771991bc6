#include "Platform/Sparkle/UpdateTransfer.h"

#include <curl/curl.h>

#include <cstdio>
#include <functional>
#include <memory>

namespace platform {

namespace {

using Sink = std::function<bool(const char*, std::size_t)>;

std::size_t writeToSink(char* data, std::size_t size, std::size_t count, void* sink)
{
    return (*static_cast<Sink*>(sink))(data, size * count) ? size * count : 0;
}

bool transfer(const std::string& url, Sink sink)
{
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(initialised ? curl_easy_init() : nullptr,
                                                             curl_easy_cleanup);
    if (!curl)
        return false;
    curl_easy_setopt(curl.get(), CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, writeToSink);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &sink);
    return curl_easy_perform(curl.get()) == CURLE_OK;
}

} // namespace

std::optional<std::string> fetchText(const std::string& url)
{
    std::string text;
    if (!transfer(url, [&](const char* data, std::size_t size) { return text.append(data, size), true; }))
        return std::nullopt;
    return text;
}

bool downloadFile(const std::string& url, const std::string& path)
{
    std::unique_ptr<FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        return false;
    const bool received = transfer(url, [&](const char* data, std::size_t size) {
        return std::fwrite(data, 1, size, file.get()) == size;
    });
    return std::fclose(file.release()) == 0 && received;
}

} // namespace platform
