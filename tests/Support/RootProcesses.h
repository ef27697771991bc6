#pragma once

#include "Platform/Workspace/RunningApplication.h"

#include <sys/types.h>

#include <string>
#include <vector>

namespace testsupport {

// The environment entry that names this test process's platform root.
std::string platformRootEntry();

// Whether the process's environment holds `entry` ("NAME=value").
bool environmentHolds(pid_t pid, const std::string& entry);

// Waits (at most a few seconds) until a process just spawned has finished its exec:
// its spawner resumes while the kernel still sets up the new program, whose command
// line, environment and running-application entry read empty until then.
void waitForExec(pid_t pid);

// The running copies of the application with this bundle identifier that were started
// under this test's root. A suite run beside this one runs copies of its own, from the
// same build, under a root of their own.
std::vector<platform::RunningApplication> runningCopiesOf(const std::string& bundleIdentifier);

} // namespace testsupport
