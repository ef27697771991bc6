#include "Screens/Manage/StartupItemSwitch.h"

#include "Foundation/ProcessRunner.h"
#include "Foundation/Settings.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/LoginItems/ServiceManagementLoginItem.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"

#include <chrono>

namespace {

SwitchResult failure(const platform::Error& error)
{
    return {SwitchResult::failed, error.localizedDescription};
}

std::optional<std::vector<std::string>> textsOf(const std::optional<platform::Array>& array)
{
    if (!array)
        return std::nullopt;
    std::vector<std::string> texts;
    for (const platform::Value& each : *array)
        if (const std::string* text = each.asText())
            texts.push_back(*text);
    return texts;
}

// The job of a user's login item, rebuilt from what the item keeps of it.
LDLaunchJob rebuiltJob(const LoginItem& item)
{
    LDLaunchJob job;
    job.setLabel(item.label);
    job.setOnDemand(true);
    job.setLimitLoadToSessionType(item.limitLoadToSessionType);
    job.setProgramArguments(textsOf(item.programArguments));
    job.setProgram(item.program);
    return job;
}

SwitchResult switchUserJob(LoginItem& item, bool on)
{
    if (!item.helperBundleIdentifier)
        return {SwitchResult::ignored, {}};
    auto& controller = LDLaunchCtl::sharedController();
    platform::Error error;
    if (on) {
        LDLaunchJob job = rebuiltJob(item);
        if (!controller.add(job, LDLaunchDomain::userLaunchAgent, &error))
            return failure(error);
    } else if (!controller.remove(item.label.value_or(""), LDLaunchDomain::userLaunchAgent, &error)) {
        return failure(error);
    }
    item.isEnable = on;
    (void)platform::SMLoginItemSetEnabled(*item.helperBundleIdentifier, on);
    if (on)
        removeDisabledLoginItem(item.record());
    else
        addDisabledLoginItem(item.record());
    return {};
}

// The agent skips its alert for an entry switched on here within its window.
void announceEnabledEntry(const platform::FileURL& url)
{
    platform::UserDefaults* suite = appGroupDefaults();
    if (!suite)
        return;
    suite->setObject(SettingsKey::startupItemEnabledPathAGSQ, url.path());
    suite->setObject(SettingsKey::startupItemEnabledDateAGSQ, platform::Date(std::chrono::system_clock::now()));
}

SwitchResult switchSessionEntry(LoginItem& item, bool on)
{
    if (!item.appUrl)
        return {SwitchResult::ignored, {}};
    item.isEnable = on;
    setLaunchOnStartup(on, *item.appUrl);
    if (!on) {
        addDisabledLoginItem(item.record());
        return {};
    }
    removeDisabledLoginItem(item.record());
    announceEnabledEntry(*item.appUrl);
    return {};
}

} // namespace

SwitchResult switchLoginItem(LoginItem& item, bool on)
{
    return item.program ? switchUserJob(item, on) : switchSessionEntry(item, on);
}

SwitchResult switchLaunchAgent(LaunchAgent& agent, bool on)
{
    if (!agent.ldLaunchDomain)
        return {SwitchResult::ignored, {}};
    auto& controller = LDLaunchCtl::sharedController();
    platform::Error error;
    LDLaunchJob job = agent.ldLaunchJob.value_or(LDLaunchJob());
    const bool changed = on ? controller.load(job, *agent.ldLaunchDomain, &error)
                            : controller.unload(job.Label().value_or(""), *agent.ldLaunchDomain, &error);
    if (!changed)
        return failure(error);
    (void)runTask("/bin/launchctl", {on ? "load" : "unload", "-w", agent.plistPath.value_or("")});
    agent.isEnable = on;
    if (on)
        removeDisabledLaunchAgent(agent.record());
    else
        addDisabledLaunchAgent(agent.record());
    return {};
}
