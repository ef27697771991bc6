#pragma once

namespace testsupport {

// Starts a watchman that outlives this test process: once this process has ended,
// however it ended (a crash, an abort, a kill of its process group), the watchman
// ends every process of the user started under this process's platform root
// (PLATFORM_ROOT naming it in the process's environment) - the launchd
// supervisors, their jobs, the agents and applications started from the root -
// and then ends itself. Called once, early in main, before any thread starts.
void guardProcessesOfTheRoot();

} // namespace testsupport
