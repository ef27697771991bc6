#pragma once

#include "Platform/Launchd/Error.h"

#include <cstdint>
#include <string>

// The error domain of the launchd job library.
inline constexpr const char* LDLaunchCtlErrorDomain = "com.vorqapps.ldlaunchctl";

// The message of a code: the library's table, else the authorisation services'
// message of that status, else "An unknown problem occurred"; localised through
// the main bundle's "LDLaunchCtl" string table when it has the message.
std::string LDErrorMessage(std::int64_t code);

// The system log (standard error here).
void LDSystemLog(const std::string& message);
