#pragma once

#include "Platform/Launchd/JobRegistry.h"

#include <string>

namespace platform::launchd {

// The body of the "launchd-supervisor" tool: detaches from its parent, runs the
// job of that label and loading (generation), records its PID and last exit
// status, restarts it under KeepAlive, and stops it when the job is removed or
// its record disappears. Returns the tool's exit code.
int superviseJob(const JobRegistry& registry, const std::string& label, const std::string& generation);

// Starts the supervisor of a just-loaded job and waits (briefly) until it has
// started the job; false when the supervisor tool cannot be run.
bool startSupervisor(const JobRegistry& registry, const std::string& label, const std::string& generation);

} // namespace platform::launchd
