#pragma once

#include <string>

// Whether an item is at `path`: a symbolic link is an item itself, whether or not
// what it names exists.
bool isItemAt(const std::string& path);
