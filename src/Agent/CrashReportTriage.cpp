#include "Agent/CrashReportTriage.h"

#include "Agent/AlertNotifications.h"
#include "Agent/CrashSnooze.h"
#include "Agent/ItemPresence.h"
#include "Foundation/IgnoreList.h"
#include "Foundation/ProtectionSwitch.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"

void CrashReportTriage::crashReportEvent(const FileWatcherEvent& event) const
{
    if (isCrashAlertSnoozed() || isSwitchedOff(SettingsKey::isCrashesProtectionEnabled) ||
        IgnoredPaths::stored().covers(event.path))
        return;
    platform::dispatch::asyncGlobal([path = event.path, alerts = alerts_] {
        if (path.ends_with(".DS_Store") || !isItemAt(path))
            return;
        raiseAlertOnMainQueue(alerts, AlertKind::crash, {{AlertKey::crashReport, path}});
    });
}
