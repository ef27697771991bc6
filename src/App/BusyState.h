#pragma once

// Busy while a scan or a clean runs, a clean is in progress, a sheet or panel is up
// over the dimmed window or a removal of startup items runs: then the sidebar, the
// login-item launch and the agent's requests leave the window alone.
bool isScanOrCleanBusy();

// Scan.shared.startScan().
void startScan();
