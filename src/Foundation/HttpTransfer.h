#pragma once

#include <cstddef>
#include <limits>
#include <optional>
#include <string>

// One HTTP exchange over libcurl, as a default URL session makes it: redirects
// followed, a connection or a transfer idle for 60 seconds fails, HTTP(S) only.
// Blocks the calling thread; safe to call from several threads at once.
struct HttpRequest {
    std::string url;
    std::optional<std::string> postBody; // a POST with this form body; a GET when null
    // The most bytes of body taken, counted after content decoding; a longer body
    // ends the transfer as it arrives.
    std::size_t maximumBodySize = std::numeric_limits<std::size_t>::max();
};

struct HttpReply {
    std::optional<std::string> transportError; // set when no whole HTTP answer came
    bool bodyTooLarge = false;                  // the body passed maximumBodySize (a transport error)
    long status = 0;                            // the final HTTP status
    std::string body;
};

HttpReply performHttpRequest(const HttpRequest& request);
