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
#include <functional>
#include <tuple>

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

// Where the records of one list of switched-off items are kept.
struct RecordStore {
    bool (*add)(const platform::Dictionary&);
    bool (*takeBack)(const platform::Dictionary&);
    bool (*remove)(const platform::Dictionary&);
};
constexpr RecordStore loginItemRecords{addDisabledLoginItem, takeBackDisabledLoginItem, removeDisabledLoginItem};
constexpr RecordStore launchAgentRecords{addDisabledLaunchAgent, takeBackDisabledLaunchAgent,
                                         removeDisabledLaunchAgent};

// Switches the item by `change`, its record following. Switching off stores the record
// first, so that an item switched off is always listed to be switched on again: when it
// cannot be stored nothing changes, and when the item's own change then fails the record
// is taken back. Switching on changes the item first, then drops the record; a record
// that cannot be dropped is harmless, as the next load finds the item on and drops it.
template <class Item>
SwitchResult switchRecorded(Item& item, bool on, const RecordStore& records,
                            const std::function<SwitchResult()>& change)
{
    Item switched = item;
    switched.isEnable = on;
    const platform::Dictionary record = switched.record();
    if (!on && !records.add(record))
        return {SwitchResult::notStored, {}};
    SwitchResult result = change();
    if (result.outcome != SwitchResult::done) {
        if (!on)
            (void)records.takeBack(record);
        return result;
    }
    item.isEnable = on;
    if (on)
        (void)records.remove(record);
    return result;
}

// Switched off, the job's whole plist is kept in its record.
SwitchResult switchUserJob(LoginItem& item, bool on)
{
    if (!item.helperBundleIdentifier)
        return {SwitchResult::ignored, {}};
    const std::string label = item.label.value_or("");
    LoginItem switched = item;
    std::optional<std::string> plistPath;
    if (!on)
        std::tie(plistPath, switched.jobDictionary) = plistOfUserJob(label);
    const SwitchResult result = switchRecorded(switched, on, loginItemRecords, [&] {
        platform::Error error;
        const bool changed = on ? restoreUserJob(switched, error)
                                : removeLoadedJob(label, LDLaunchDomain::userLaunchAgent, plistPath, &error);
        return changed ? SwitchResult{} : failure(error);
    });
    if (result.outcome != SwitchResult::done)
        return result;
    item = std::move(switched);
    (void)platform::SMLoginItemSetEnabled(*item.helperBundleIdentifier, on);
    return result;
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
    const SwitchResult result = switchRecorded(item, on, loginItemRecords, [&] {
        return setLaunchOnStartup(on, *item.appUrl)
                   ? SwitchResult{}
                   : SwitchResult{SwitchResult::failed, "The session login items could not be changed."};
    });
    if (on && result.outcome == SwitchResult::done)
        announceEnabledEntry(*item.appUrl);
    return result;
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
    return switchRecorded(agent, on, launchAgentRecords, [&] {
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
        return SwitchResult{};
    });
}
