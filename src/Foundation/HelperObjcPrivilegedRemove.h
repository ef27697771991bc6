#pragma once

#include <string>

// Whether the path holds nothing but whitespace (spaces, tabs, newlines and the
// other Unicode separators): such a path is never handed to the privileged tool.
bool isBlankPath(const std::string& path);
