#include "Platform/Http/HttpTransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <utility>

namespace platform {

namespace {

constexpr long maximumRedirects = 16;
constexpr const char* allowedProtocols = "http,https";

std::atomic<double> deadlineScale = 1.0;

std::chrono::milliseconds scaled(std::chrono::milliseconds deadline)
{
    return std::chrono::milliseconds(std::llround(static_cast<double>(deadline.count()) * deadlineScale));
}

// The body as it arrives (decoded), up to its limit.
struct BodyLimit {
    const HttpBodySink& sink;
    std::size_t room;
    CURL* curl;
    const std::function<void(std::uint64_t)>& contentLength;
    bool overflowed = false;
    bool started = false;
};

// The answer's declared length, told once, as its body starts.
void tellContentLength(BodyLimit& limit)
{
    if (std::exchange(limit.started, true) || !limit.contentLength)
        return;
    curl_off_t length = -1;
    if (curl_easy_getinfo(limit.curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK && length >= 0)
        limit.contentLength(static_cast<std::uint64_t>(length));
}

size_t takeBody(char* data, size_t size, size_t count, void* limitPointer)
{
    auto& limit = *static_cast<BodyLimit*>(limitPointer);
    tellContentLength(limit);
    const size_t length = size * count;
    if (length > limit.room) {
        limit.overflowed = true;
        return 0; // ends the transfer with a write error
    }
    limit.room -= length;
    return limit.sink(std::string_view(data, length)) ? length : 0;
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

// The rate floor as the transfer measures it itself: the bytes of each window over
// its elapsed time. libcurl's own low-speed check restarts whenever a burst lifts
// its few-second rate, so a server that bursts now and then would pass it. Until
// the first byte moves, the request time-out applies in its place. The caller's
// cancel flag is looked at on the same calls.
struct RateFloor {
    const std::atomic<bool>* cancelled = nullptr;
    bool wasCancelled = false;
    std::uint32_t minimumAverageRate;
    std::chrono::steady_clock::duration window;
    std::chrono::steady_clock::duration firstByteWait;
    std::chrono::steady_clock::time_point windowStart = std::chrono::steady_clock::now();
    curl_off_t bytesAtWindowStart = 0;
    bool started = false;
    bool missed = false;
    bool timedOut = false;
};

// Before any byte: the windows wait, and the transfer ends once the request time-out passes.
bool awaitFirstByte(RateFloor& rateFloor, curl_off_t bytes, std::chrono::steady_clock::time_point now)
{
    if (rateFloor.started)
        return true;
    if (bytes == 0) {
        rateFloor.timedOut = now - rateFloor.windowStart >= rateFloor.firstByteWait;
        return false;
    }
    rateFloor.started = true;
    rateFloor.windowStart = now;
    return false;
}

int checkRate(void* floorPointer, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded)
{
    auto& rateFloor = *static_cast<RateFloor*>(floorPointer);
    if (rateFloor.cancelled && *rateFloor.cancelled) {
        rateFloor.wasCancelled = true;
        return 1;
    }
    if (rateFloor.minimumAverageRate == 0)
        return 0;
    const curl_off_t bytes = downloaded + uploaded;
    const auto now = std::chrono::steady_clock::now();
    if (!awaitFirstByte(rateFloor, bytes, now))
        return rateFloor.timedOut ? 1 : 0;
    if (bytes < rateFloor.bytesAtWindowStart) // a redirect counts its own bytes from 0
        rateFloor.bytesAtWindowStart = 0;
    const auto elapsed = now - rateFloor.windowStart;
    if (elapsed < rateFloor.window)
        return 0;
    const double seconds = std::chrono::duration<double>(elapsed).count();
    if (static_cast<double>(bytes - rateFloor.bytesAtWindowStart) < rateFloor.minimumAverageRate * seconds) {
        rateFloor.missed = true;
        return 1; // ends the transfer
    }
    rateFloor.windowStart = now;
    rateFloor.bytesAtWindowStart = bytes;
    return 0;
}

void limitDuration(CURL* curl, const HttpRequest& request, RateFloor& rateFloor)
{
    const TransferDeadlines& deadlines = request.deadlines;
    const auto total = scaled(deadlines.total);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(total.count()));
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(std::min(total, scaled(requestTimeout)).count()));
    if (deadlines.minimumAverageRate == 0 && !request.cancelled)
        return;
    rateFloor.cancelled = request.cancelled;
    rateFloor.minimumAverageRate = deadlines.minimumAverageRate;
    rateFloor.window = scaled(deadlines.rateWindow);
    rateFloor.firstByteWait = scaled(requestTimeout);
    // Called as data moves and about once a second while none does.
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkRate);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &rateFloor);
}

void configure(CURL* curl, const HttpRequest& request, BodyLimit& limit, RateFloor& rateFloor, char* errorText)
{
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, allowedProtocols);
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, allowedProtocols);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, maximumRedirects);
    limitDuration(curl, request, rateFloor);
    curl_easy_setopt(curl, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, takeBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &limit);
    // A declared length over the limit fails before the body comes.
    if (request.maximumBodySize < static_cast<std::size_t>(std::numeric_limits<curl_off_t>::max()))
        curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maximumBodySize));
    if (request.postBody) {
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(request.postBody->size()));
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.postBody->c_str());
    }
}

} // namespace

void scaleTransferDeadlinesForTesting(double factor)
{
    deadlineScale = factor;
}

HttpReply performHttpRequest(const HttpRequest& request, const HttpBodySink& sink)
{
    HttpReply reply;
    const CurlHandle curl = makeHandle();
    if (!curl) {
        reply.transportError = "cannot start a transfer";
        return reply;
    }
    BodyLimit limit{sink, request.maximumBodySize, curl.get(), request.contentLength};
    RateFloor rateFloor{};
    char errorText[CURL_ERROR_SIZE] = "";
    configure(curl.get(), request, limit, rateFloor, errorText);
    rateFloor.windowStart = std::chrono::steady_clock::now();
    const CURLcode result = curl_easy_perform(curl.get());
    if (result != CURLE_OK) {
        reply.bodyTooLarge = limit.overflowed || result == CURLE_FILESIZE_EXCEEDED;
        reply.transportError = rateFloor.wasCancelled ? "the transfer was cancelled"
                             : reply.bodyTooLarge ? "the answer is larger than " +
                                                        std::to_string(request.maximumBodySize) + " bytes"
                             : rateFloor.missed ? "the transfer was slower than " +
                                                      std::to_string(rateFloor.minimumAverageRate) + " bytes a second"
                             : rateFloor.timedOut ? "the server did not answer in time"
                             : *errorText       ? errorText
                                                : curl_easy_strerror(result);
        return reply;
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    return reply;
}

HttpReply performHttpRequest(const HttpRequest& request)
{
    std::string body;
    HttpReply reply = performHttpRequest(request, [&body](std::string_view chunk) {
        body.append(chunk);
        return true;
    });
    if (!reply.transportError)
        reply.body = std::move(body);
    return reply;
}

} // namespace platform
