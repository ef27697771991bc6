#pragma once

#include <optional>
#include <string>

// The bytes as text when they are valid UTF-8 (no truncated sequence, no
// overlong form, no surrogate); null otherwise.
std::optional<std::string> utf8Text(std::string bytes);
