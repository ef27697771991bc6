#include "Startup/StartupItemRemoval.h"

#include "Helper/LDLaunchCtl/LDAuthorizer.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/LoginItems/ServiceManagementLoginItem.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/LaunchdFolder.h"

#include <filesystem>
#include <iostream>

namespace {

constexpr const char* removalPrompt = "Removing the job requires authorization.";

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string withoutPlistExtensions(std::string name)
{
    for (auto at = name.find(".plist"); at != std::string::npos; at = name.find(".plist"))
        name.erase(at, std::string_view(".plist").size());
    return name;
}

std::string describe(const platform::Error& error)
{
    return "Error Domain=" + error.domain + " Code=" + std::to_string(error.code) + " \"" + error.localizedDescription
           + "\"";
}

// A loaded job: unloaded and its plist deleted by the launchd library.
bool removeThroughLaunchd(const LaunchAgent& agent, const std::string& folder, const std::optional<std::string>& label)
{
    auto& controller = LDLaunchCtl::sharedController();
    platform::Error error;
    bool removed = false;
    if (label && !label->empty() && isFile(folder + *label))
        removed = controller.remove(*label, *agent.ldLaunchDomain, &error);
    if (agent.plistName && !agent.plistName->empty() && isFile(folder + *agent.plistName))
        removed = controller.remove(withoutPlistExtensions(*agent.plistName), *agent.ldLaunchDomain, &error) || removed;
    return removed;
}

// A job launchd does not have loaded (one switched off): there is nothing to unload,
// so only its plist goes, with the authorisation its domain needs.
bool removeUnloadedJobFile(const LaunchAgent& agent, const std::string& folder)
{
    if (!agent.plistName || agent.plistName->empty() || !isFile(folder + *agent.plistName))
        return false;
    auto& controller = LDLaunchCtl::sharedController();
    platform::AuthorizationRef authRef = nullptr;
    platform::Error error;
    const std::string label = agent.ldLaunchJob->Label().value_or("");
    if (!controller.createAuthorization(&authRef, *agent.ldLaunchDomain, label, removalPrompt, &error))
        return false;
    const bool removed = LDRemoveFilePrivileged(folder + *agent.plistName, authRef, &error);
    if (authRef)
        LDAuthorizer::authorizationFree(authRef);
    return removed;
}

bool isLoaded(const std::optional<std::string>& label, LDLaunchDomain domain)
{
    return label && !label->empty() && LDJobIsLoaded(*label, domain);
}

// A user's job that launchd does not have and whose plist is gone (one switched off,
// or deleted meanwhile): there is nothing left to remove.
bool isGoneUserJob(const std::optional<std::string>& label)
{
    const auto plist = LDJobPlistPath(LDLaunchDomain::userLaunchAgent, label.value_or(""));
    return !isLoaded(label, LDLaunchDomain::userLaunchAgent) && !(plist && isFile(*plist));
}

} // namespace

RemovalOutcome removeStartupItem(const LaunchAgent& agent)
{
    const auto folder = launchdFolder(agent.ldLaunchDomain);
    if (!folder)
        return RemovalOutcome::passedOver;
    const auto label = agent.ldLaunchJob ? agent.ldLaunchJob->Label() : std::nullopt;
    const bool hasPlist = agent.plistName && !agent.plistName->empty() && isFile(*folder + *agent.plistName);
    const bool loaded = isLoaded(label, *agent.ldLaunchDomain);
    const bool unloadedWithLabel = label && !label->empty() && !loaded;
    const bool removed = !loaded && !hasPlist ? true // already gone
                         : unloadedWithLabel  ? removeUnloadedJobFile(agent, *folder)
                                              : removeThroughLaunchd(agent, *folder, label);
    if (removed)
        removeDisabledLaunchAgent(agent.record());
    return removed ? RemovalOutcome::removed : RemovalOutcome::notRemoved;
}

RemovalOutcome removeStartupItem(const LoginItem& item)
{
    auto outcome = RemovalOutcome::removed;
    if (item.program && !isGoneUserJob(item.label)) {
        if (item.helperBundleIdentifier)
            (void)platform::SMLoginItemSetEnabled(*item.helperBundleIdentifier, false);
        platform::Error error;
        if (!LDLaunchCtl::sharedController().remove(item.label.value_or(""), LDLaunchDomain::userLaunchAgent, &error)) {
            std::cout << describe(error) << std::endl;
            outcome = RemovalOutcome::notRemoved;
        }
    } else if (!item.program && item.appUrl) {
        setLaunchOnStartup(false, *item.appUrl);
    }
    removeDisabledLoginItem(item.record());
    return outcome;
}
