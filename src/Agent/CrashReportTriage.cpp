#include "Agent/CrashReportTriage.h"

#include "Agent/AlertNotifications.h"
#include "Agent/CrashSnooze.h"
#include "Agent/ProtectionSettings.h"
#include "Foundation/Settings.h"
#include "Platform/Dispatch/Dispatch.h"

#include <filesystem>

void CrashReportTriage::crashReportEvent(const FileWatcherEvent& event) const
{
    if (isCrashAlertSnoozed(now_()) || isSwitchedOff(SettingsKey::isCrashesProtectionEnabled) ||
        pathListContains(SettingsKey::ignoreAllPaths, event.path))
        return;
    platform::dispatch::asyncGlobal([path = event.path, alerts = alerts_] {
        std::error_code ignored;
        if (path.ends_with(".DS_Store") || !std::filesystem::exists(path, ignored))
            return;
        raiseAlertOnMainQueue(alerts, AlertKind::crash, {{AlertKey::crashReport, path}});
    });
}
