#include "Startup/StartupItemRemoval.h"

#include "Helper/LDLaunchCtl/LDAuthorizer.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/LoginItems/ServiceManagementLoginItem.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/LaunchdFolder.h"
#include "Startup/LaunchdFolderPlists.h"

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
bool removeThroughLaunchd(const LaunchAgent& agent, const std::string& folder, const std::optional<std::string>& label,
                          platform::Error& error)
{
    auto& controller = LDLaunchCtl::sharedController();
    bool removed = false;
    if (label && !label->empty() && isFile(folder + *label))
        removed = controller.remove(*label, *agent.ldLaunchDomain, &error);
    if (agent.plistName && !agent.plistName->empty() && isFile(folder + *agent.plistName))
        removed = controller.remove(withoutPlistExtensions(*agent.plistName), *agent.ldLaunchDomain, &error) || removed;
    return removed;
}

// Deletes a job's plist: the user's own file directly, another domain's as root.
bool deletePlist(const std::string& path, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                 platform::Error* error)
{
    if (domain >= LDLaunchDomain::globalLaunchAgent)
        return LDRemoveFilePrivileged(path, authRef, error);
    std::error_code failure;
    if (std::filesystem::remove(path, failure) || !failure)
        return true;
    if (error)
        *error = platform::Error{"NSCocoaErrorDomain", 513, "The file couldn\u2019t be removed: " + failure.message()};
    return false;
}

// Runs `step` with the authorisation the domain needs (none for the user's own).
template <class Step>
bool withAuthorization(LDLaunchDomain domain, const std::string& label, platform::Error* error, Step step)
{
    platform::AuthorizationRef authRef = nullptr;
    if (!LDLaunchCtl::sharedController().createAuthorization(&authRef, domain, label, removalPrompt, error))
        return false;
    const bool done = step(authRef);
    if (authRef)
        LDAuthorizer::authorizationFree(authRef);
    return done;
}

// A job launchd does not have loaded (one switched off): there is nothing to unload,
// so only its plist goes, with the authorisation its domain needs.
bool removeUnloadedJobFile(const LaunchAgent& agent, const std::string& folder, platform::Error& error)
{
    if (!agent.plistName || agent.plistName->empty() || !isFile(folder + *agent.plistName))
        return false;
    const std::string label = agent.ldLaunchJob->Label().value_or("");
    return withAuthorization(*agent.ldLaunchDomain, label, &error, [&](platform::AuthorizationRef authRef) {
        return deletePlist(folder + *agent.plistName, *agent.ldLaunchDomain, authRef, &error);
    });
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

bool removeLoadedJob(const std::string& label, LDLaunchDomain domain, const std::optional<std::string>& plistPath,
                     platform::Error* error)
{
    auto& controller = LDLaunchCtl::sharedController();
    if (plistPath && plistPath == LDJobPlistPath(domain, label))
        return controller.remove(label, domain, error);
    return withAuthorization(domain, label, error, [&](platform::AuthorizationRef authRef) {
        return controller.unload(label, domain, authRef, error)
               && (!plistPath || deletePlist(*plistPath, domain, authRef, error));
    });
}

std::optional<std::string> plistOfJob(const std::string& label, LDLaunchDomain domain)
{
    const std::string path = LaunchdFolderPlists(domain).plistCarrying(label).second;
    return path.empty() ? std::nullopt : std::optional(path);
}

RemovalOutcome removeStartupItem(const LaunchAgent& agent, std::string* failure)
{
    const auto folder = launchdFolder(agent.ldLaunchDomain);
    if (!folder)
        return RemovalOutcome::passedOver;
    const auto label = agent.ldLaunchJob ? agent.ldLaunchJob->Label() : std::nullopt;
    const bool hasPlist = agent.plistName && !agent.plistName->empty() && isFile(*folder + *agent.plistName);
    const bool loaded = isLoaded(label, *agent.ldLaunchDomain);
    const bool unloadedWithLabel = label && !label->empty() && !loaded;
    platform::Error error;
    const bool removed = !loaded && !hasPlist ? true // already gone
                         : unloadedWithLabel  ? removeUnloadedJobFile(agent, *folder, error)
                         : !hasPlist          ? removeLoadedJob(*label, *agent.ldLaunchDomain, std::nullopt, &error)
                                              : removeThroughLaunchd(agent, *folder, label, error);
    if (removed)
        removeDisabledLaunchAgent(agent.record());
    else if (failure)
        *failure = error.code ? describe(error) : "The job could not be removed.";
    return removed ? RemovalOutcome::removed : RemovalOutcome::notRemoved;
}

RemovalOutcome removeStartupItem(const LoginItem& item, std::string* failure)
{
    auto outcome = RemovalOutcome::removed;
    if (item.program && !isGoneUserJob(item.label)) {
        if (item.helperBundleIdentifier)
            (void)platform::SMLoginItemSetEnabled(*item.helperBundleIdentifier, false);
        platform::Error error;
        const std::string label = item.label.value_or("");
        constexpr auto domain = LDLaunchDomain::userLaunchAgent;
        if (!removeLoadedJob(label, domain, plistOfJob(label, domain), &error)) {
            std::cout << describe(error) << std::endl;
            if (failure)
                *failure = describe(error);
            outcome = RemovalOutcome::notRemoved;
        }
    } else if (!item.program && item.appUrl) {
        setLaunchOnStartup(false, *item.appUrl);
    }
    removeDisabledLoginItem(item.record());
    return outcome;
}
