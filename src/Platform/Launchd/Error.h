#pragma once

#include <cstdint>
#include <string>

namespace platform {

// An error object (NSError / CFError): a domain, a code and the text shown.
struct Error {
    std::string domain;
    std::int64_t code = 0;
    std::string localizedDescription;

    friend bool operator==(const Error&, const Error&) = default;
};

} // namespace platform
