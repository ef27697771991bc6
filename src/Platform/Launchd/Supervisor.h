#pragma once

#include "Platform/Launchd/JobRegistry.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace platform::launchd {

// The body of the "launchd-supervisor" tool: detaches from its parent, runs the
// job of that label and loading (generation), records its PID and last exit
// status, restarts it under KeepAlive, and stops it when the job is removed or
// its record disappears. Returns the tool's exit code.
int superviseJob(const JobRegistry& registry, const std::string& label, const std::string& generation);

// Starts the supervisor of a just-loaded job and waits until it has taken the job
// on; an error when the supervisor tool cannot be run or does not take the job on.
[[nodiscard]] std::error_code startSupervisor(const JobRegistry& registry, const std::string& label,
                                              const std::string& generation);

// The supervisor tool's path, among the stand-in tools (standInToolPath).
std::filesystem::path supervisorToolPath();

} // namespace platform::launchd
