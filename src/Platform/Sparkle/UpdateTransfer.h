#pragma once

#include <optional>
#include <string>

namespace platform {

// The feed's text; null when the transfer fails or the server answers with an error.
std::optional<std::string> fetchText(const std::string& url);

// Downloads into `path` (created or replaced); false on any failure.
[[nodiscard]] bool downloadFile(const std::string& url, const std::string& path);

} // namespace platform
