#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Readings of stored texts, shared by the database readers and the definitions index.

// A whole base-10 integer after an optional sign; absent otherwise (also on overflow).
std::optional<std::int64_t> parseInteger(std::string_view text);

// A whole, finite decimal floating-point number after an optional sign; absent
// otherwise ("inf", "nan" and numbers beyond the range of a double included).
std::optional<double> parseDouble(std::string_view text);

// Prints one line on standard output, whole, and flushes it.
void printLine(const std::string& line);
