#include "App/BusyState.h"

#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Foundation/SharedState.h"
#include "Startup/StartupItemsModel.h"

bool isScanOrCleanBusy()
{
    return Scan::shared().isScanRunning || Clean::shared().isCleanRunning || isCleanInProgress
           || StartupItemsModel::isRemovingStartupItems();
}

void startScan()
{
    Scan::shared().startScan();
}
