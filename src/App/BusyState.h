#pragma once

// Busy while a scan or a clean runs or a clean is in progress: then the sidebar,
// the login-item launch and the agent's requests leave the window alone.
bool isScanOrCleanBusy();

// Scan.shared.startScan().
void startScan();
