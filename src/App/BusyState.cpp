#include "App/BusyState.h"

#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Foundation/SharedState.h"

bool isScanOrCleanBusy()
{
    return Scan::shared().isScanRunning || Clean::shared().isCleanRunning || isCleanInProgress;
}

void startScan()
{
    Scan::shared().startScan();
}
