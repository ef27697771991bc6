#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// How long a transfer may take. A server that trickles its answer or never answers
// fails the transfer by these, whatever the size limit.
struct TransferDeadlines {
    std::chrono::milliseconds total;       // from the start of the connection to the last byte
    // Bytes per second, averaged over each rateWindow in turn from the start (bursts
    // between long silences do not lift a window above it); 0: no floor.
    std::uint32_t minimumAverageRate = 0;
    std::chrono::milliseconds rateWindow{0};
};

// The request time-out: the longest wait for a connection (name lookup included) and
// for the first byte of the answer, whatever the deadlines.
inline constexpr std::chrono::milliseconds requestTimeout = std::chrono::seconds(60);

// A version file, a feed or an analytics hit: a few kilobytes.
inline constexpr TransferDeadlines smallTransferDeadlines{requestTimeout};
// A definitions archive or an application update: tens of megabytes. The rate floor's
// windows start with the answer's first byte.
inline constexpr TransferDeadlines largeTransferDeadlines{std::chrono::minutes(20), 4 * 1024, std::chrono::seconds(30)};

// Tests shorten every deadline (durations only, not rates) by this factor; 1 otherwise.
void scaleTransferDeadlinesForTesting(double factor);

// One HTTP exchange over libcurl: redirects followed, http and https only (the
// address and every redirect).
struct HttpRequest {
    std::string url;
    std::optional<std::string> postBody; // a POST with this form body; a GET when null
    // The most bytes of body taken, counted after content decoding; a longer body
    // ends the transfer as it arrives.
    std::size_t maximumBodySize = std::numeric_limits<std::size_t>::max();
    TransferDeadlines deadlines = smallTransferDeadlines;
    // Set (from any thread) to stop the transfer within about a second; null: never.
    const std::atomic<bool>* cancelled = nullptr;
    // Hears the final answer's Content-Length before its first bytes reach the sink;
    // not called for an answer without one.
    std::function<void(std::uint64_t length)> contentLength = {};
};

struct HttpReply {
    std::optional<std::string> transportError; // set when no whole HTTP answer came
    bool bodyTooLarge = false;                  // the body passed maximumBodySize (a transport error)
    long status = 0;                            // the final HTTP status
    std::string body;                           // empty when the body went to a sink
};

// Takes the body as it arrives; false ends the transfer with a transport error.
using HttpBodySink = std::function<bool(std::string_view chunk)>;

// Blocks the calling thread; safe to call from several threads at once.
HttpReply performHttpRequest(const HttpRequest& request);
HttpReply performHttpRequest(const HttpRequest& request, const HttpBodySink& sink);

} // namespace platform
