#pragma once

namespace platform {

// The login step: what the macOS login does for the user, run once at each session
// start (through the autostart entry, AutostartEntry.h). It loads, through the
// stand-in "/bin/launchctl" (which leaves a disabled job unloaded and says so), each
// job plist of the user's domain - the user's ~/Library/LaunchAgents, then
// /Library/LaunchAgents - that runs at load; a job still loaded from an earlier
// session with nothing left to run it is loaded anew, one that runs is left as it
// is. Then it opens each session login item through the stand-in "/usr/bin/open",
// as launched at login (BG_LAUNCH_EVENT=lgit). Returns 0 when every job and item
// was started, 1 otherwise.
int runLoginSession();

} // namespace platform
