#include "App/BusyState.h"

#include "Detection/Clean.h"
#include "Detection/Scan.h"
#include "Foundation/PresentationSlots.h"
#include "Foundation/SharedState.h"
#include "Startup/StartupItemsModel.h"

bool isScanOrCleanBusy()
{
    // A sheet up over the window (the dimming overlay shows) waits for its answer: a
    // scan started under Clean Now's confirmation would empty the list it confirms.
    return Scan::shared().isScanRunning || Clean::shared().isCleanRunning || isCleanInProgress || dimmingOverlay()
           || StartupItemsModel::isRemovingStartupItems();
}

void startScan()
{
    Scan::shared().startScan();
}
