#pragma once

// Busy while a scan or a clean runs, a clean is in progress or a sheet or panel is up
// over the dimmed window: then the sidebar, the login-item launch and the agent's
// requests leave the window alone.
bool isScanOrCleanBusy();

// Scan.shared.startScan().
void startScan();
