#pragma once

namespace testsupport {

// Runs the main loop until no work is left on the global queue (nor on a thread
// of its own), for at most a few seconds, and says so on standard error when
// some still runs then. Called before a test changes the process's environment
// or ends: a background thread reading a variable while another is added reads
// freed memory.
void awaitBackgroundWork();

// Registers the above at the end of every test, so that no test's work runs
// into the next one's. Called once, in main.
void awaitBackgroundWorkAfterEachTest();

} // namespace testsupport
