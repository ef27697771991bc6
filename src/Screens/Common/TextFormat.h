#pragma once

#include <string>
#include <string_view>
#include <vector>

// Fills a text-table format: "%@" takes the next argument, "%n$@" the n-th (from 1),
// "%%" gives "%". A missing argument gives the empty text; every other character,
// a lone "%" included, stays as it is.
//   formatText("Version %@ is out", {"2.5"})  ->  "Version 2.5 is out"
std::string formatText(std::string_view format, const std::vector<std::string>& arguments);

// How many arguments a format takes: the "%@" count, or the highest "%n$@" when larger.
std::size_t formatArgumentCount(std::string_view format);
