#include "Foundation/HttpTransfer.h"

#include <curl/curl.h>

#include <limits>
#include <memory>
#include <string>

namespace {

constexpr long idleTimeoutSeconds = 60;
constexpr long maximumRedirects = 16;

// The body as it arrives (decoded), up to its limit.
struct BodySink {
    std::string& body;
    std::size_t limit;
    bool overflowed = false;
};

size_t appendBody(char* data, size_t size, size_t count, void* sinkPointer)
{
    auto& sink = *static_cast<BodySink*>(sinkPointer);
    const size_t length = size * count;
    if (length > sink.limit - sink.body.size()) {
        sink.overflowed = true;
        return 0; // ends the transfer with a write error
    }
    sink.body.append(data, length);
    return length;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;

// libcurl (and the TLS library under it) is set up before main, while the process
// has one thread: set up lazily on a worker, it races the exit handlers of a process
// that ends while a request is starting.
const CURLcode curlSetUp = curl_global_init(CURL_GLOBAL_DEFAULT);

CurlHandle makeHandle()
{
    return CurlHandle(curlSetUp == CURLE_OK ? curl_easy_init() : nullptr, &curl_easy_cleanup);
}

void configure(CURL* curl, const HttpRequest& request, BodySink& sink)
{
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, maximumRedirects);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, idleTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, idleTimeoutSeconds);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    // A declared length over the limit fails before the body comes.
    if (request.maximumBodySize < static_cast<std::size_t>(std::numeric_limits<curl_off_t>::max()))
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maximumBodySize));
    if (request.postBody) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.postBody->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.postBody->c_str());
    }
}

} // namespace

HttpReply performHttpRequest(const HttpRequest& request)
{
    HttpReply reply;
    const CurlHandle curl = makeHandle();
    if (!curl) {
        reply.transportError = "cannot start a transfer";
        return reply;
    }
    BodySink sink{reply.body, request.maximumBodySize};
    configure(curl.get(), request, sink);
    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        reply.bodyTooLarge = sink.overflowed || result == CURLE_FILESIZE_EXCEEDED;
        reply.transportError = reply.bodyTooLarge ? "the answer is larger than " +
                                                        std::to_string(request.maximumBodySize) + " bytes"
                                                  : curl_easy_strerror(result);
        reply.body.clear();
        reply.body.shrink_to_fit();
        return reply;
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}
