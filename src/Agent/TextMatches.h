#pragma once

#include <string>
#include <vector>

// Every match of the regular expression `pattern` in `text`, in order, letters
// matched without regard to case; empty when the pattern does not compile.
std::vector<std::string> matches(const std::string& pattern, const std::string& text);
