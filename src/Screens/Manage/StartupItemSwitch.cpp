#include "Screens/Manage/StartupItemSwitch.h"

#include "Foundation/ProcessRunner.h"
#include "Foundation/Settings.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/LoginItems/ServiceManagementLoginItem.h"
#include "Platform/Values/PropertyList.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/StartupItemRemoval.h"
#include "Startup/StartupItemRules.h"

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

// The job of a user's login item, rebuilt from the few values every record keeps.
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

// The job's own plist in the user's launch agents, whatever its file name: (path, contents).
std::pair<std::optional<std::string>, std::optional<platform::Dictionary>> plistOfUserJob(const std::string& label)
{
    const auto path = plistOfJob(label, LDLaunchDomain::userLaunchAgent);
    const auto plist = path ? platform::readPropertyListFile(*path) : std::nullopt;
    return {path, plist && plist->asDictionary() ? std::optional(*plist->asDictionary()) : std::nullopt};
}

// Writes back the plist kept when the item was switched off, key for key, while its
// "Label" is still the item's; else a job rebuilt from the item's values.
bool restoreUserJob(const LoginItem& item, platform::Error& error)
{
    auto& controller = LDLaunchCtl::sharedController();
    if (item.jobDictionary && item.label && textEntry(*item.jobDictionary, "Label") == item.label)
        return controller.addPlist(*item.jobDictionary, LDLaunchDomain::userLaunchAgent, &error);
    LDLaunchJob job = rebuiltJob(item);
    return controller.add(job, LDLaunchDomain::userLaunchAgent, &error);
}

bool changeUserJob(LoginItem& item, bool on, platform::Error& error)
{
    if (on)
        return restoreUserJob(item, error);
    const std::string label = item.label.value_or("");
    auto [path, plist] = plistOfUserJob(label);
    if (!removeLoadedJob(label, LDLaunchDomain::userLaunchAgent, path, &error))
        return false;
    item.jobDictionary = std::move(plist);
    return true;
}

SwitchResult switchUserJob(LoginItem& item, bool on)
{
    if (!item.helperBundleIdentifier)
        return {SwitchResult::ignored, {}};
    platform::Error error;
    if (!changeUserJob(item, on, error))
        return failure(error);
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
    if (!setLaunchOnStartup(on, *item.appUrl))
        return {SwitchResult::failed, "The session login items could not be changed."};
    item.isEnable = on;
    if (!on) {
        addDisabledLoginItem(item.record());
        return {};
    }
    removeDisabledLoginItem(item.record());
    announceEnabledEntry(*item.appUrl);
    return {};
}

// Loads the agent's job from its whole plist while that still carries the job's label
// (launchd then has every key, also those the job type does not know); else the job.
bool loadWhole(LDLaunchJob& job, const LaunchAgent& agent, platform::AuthorizationRef authRef, platform::Error& error)
{
    auto& controller = LDLaunchCtl::sharedController();
    const auto plist = agent.plistPath ? platform::readPropertyListFile(*agent.plistPath) : std::nullopt;
    const platform::Dictionary* whole = plist ? plist->asDictionary() : nullptr;
    if (whole && job.Label() && textEntry(*whole, "Label") == job.Label())
        return controller.loadPlist(*whole, *agent.ldLaunchDomain, authRef, &error);
    return controller.load(job, *agent.ldLaunchDomain, authRef, &error);
}

} // namespace

SwitchResult switchStartupItem(LoginItem& item, bool on)
{
    return item.program ? switchUserJob(item, on) : switchSessionEntry(item, on);
}

SwitchResult switchStartupItem(LaunchAgent& agent, bool on)
{
    if (!agent.ldLaunchDomain)
        return {SwitchResult::ignored, {}};
    auto& controller = LDLaunchCtl::sharedController();
    platform::Error error;
    LDLaunchJob job = agent.ldLaunchJob.value_or(LDLaunchJob());
    const bool changed = withJobAuthorization(agent, on ? "Loading" : "Unloading", &error, [&](auto authRef) {
        return on ? loadWhole(job, agent, authRef, error)
                  : controller.unload(job.Label().value_or(""), *agent.ldLaunchDomain, authRef, &error);
    });
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
