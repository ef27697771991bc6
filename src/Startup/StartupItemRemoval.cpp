#include "Startup/StartupItemRemoval.h"

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

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string describe(const platform::Error& error)
{
    return "Error Domain=" + error.domain + " Code=" + std::to_string(error.code) + " \"" + error.localizedDescription
           + "\"";
}

// Runs `step` with the authorisation the domain needs (none for the user's own),
// asked with `prompt`.
bool withAuthorization(LDLaunchDomain domain, const std::string& label, const std::string& prompt,
                       platform::Error* error, const std::function<bool(platform::AuthorizationRef)>& step)
{
    return LDLaunchCtl::sharedController().withAuthorization(domain, label, prompt, error, step);
}

std::optional<std::string> plistPathOf(const LaunchAgent& agent, const std::string& folder)
{
    if (agent.plistPath)
        return agent.plistPath;
    return agent.plistName ? std::optional(folder + *agent.plistName) : std::nullopt;
}

// The agent's plist as its folder holds it now: the file that the folder's scan found.
std::optional<std::string> presentPlist(const LaunchAgent& agent, const std::string& folder)
{
    if (!agent.plistName || agent.plistName->empty() || !isFile(folder + *agent.plistName))
        return std::nullopt;
    return folder + *agent.plistName;
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

// A job launchd does not have loaded (one switched off): there is nothing to unload,
// so only its plist goes, with the authorisation its domain needs.
bool removeUnloadedJobFile(const LaunchAgent& agent, const std::string& plist, platform::Error& error)
{
    const std::string label = agent.label().value_or("");
    const auto prompt = jobAuthorizationPrompt("Removing", label, plist);
    return withAuthorization(*agent.ldLaunchDomain, label, prompt, &error, [&](platform::AuthorizationRef authRef) {
        return deletePlist(plist, *agent.ldLaunchDomain, authRef, &error);
    });
}

// An item is deleted only once its switched-off record is gone too.
RemovalOutcome recordDropped(bool dropped, std::string* failure)
{
    if (dropped)
        return RemovalOutcome::removed;
    if (failure)
        *failure = "The record of the switched-off item could not be saved.";
    return RemovalOutcome::notStored;
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
    const auto prompt = jobAuthorizationPrompt("Removing", label, plistPath);
    return withAuthorization(domain, label, prompt, error, [&](platform::AuthorizationRef authRef) {
        return LDJobRemoveWithPlistAt(domain, label, plistPath, authRef, error);
    });
}

std::string jobAuthorizationPrompt(std::string_view action, const std::optional<std::string>& label,
                                   const std::optional<std::string>& plistPath)
{
    const auto quoted = [](const std::string& text) { return "\u201c" + text + "\u201d "; };
    const bool named = label && !label->empty();
    const bool located = plistPath && !plistPath->empty();
    const std::string job = named && located ? quoted(*label) + "(" + *plistPath + ") "
                            : named          ? quoted(*label)
                            : located        ? quoted(*plistPath)
                                             : std::string();
    return std::string(action) + " the job " + job + "requires authorization.";
}

bool withJobAuthorization(const LaunchAgent& agent, std::string_view action, platform::Error* error,
                          const std::function<bool(platform::AuthorizationRef)>& step)
{
    const auto label = agent.label();
    const auto folder = launchdFolder(agent.ldLaunchDomain);
    const auto prompt = jobAuthorizationPrompt(action, label, plistPathOf(agent, folder.value_or("")));
    return withAuthorization(agent.ldLaunchDomain.value_or(LDLaunchDomain::userLaunchAgent), label.value_or(""),
                             prompt, error, step);
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
    const auto label = agent.label();
    const auto plist = presentPlist(agent, *folder);
    platform::Error error;
    const bool removed = isLoaded(label, *agent.ldLaunchDomain) ? removeLoadedJob(*label, *agent.ldLaunchDomain, plist, &error)
                         : plist                              ? removeUnloadedJobFile(agent, *plist, error)
                                                              : true; // already gone
    if (!removed) {
        if (failure)
            *failure = error.localizedDescription.empty() ? "The job could not be removed." : error.localizedDescription;
        return RemovalOutcome::notRemoved;
    }
    return recordDropped(removeDisabledLaunchAgent(agent.record()), failure);
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
                *failure = error.localizedDescription;
            outcome = RemovalOutcome::notRemoved;
        }
    } else if (!item.program && item.appUrl && !setLaunchOnStartup(false, *item.appUrl)) {
        if (failure)
            *failure = "The session login items could not be changed.";
        outcome = RemovalOutcome::notRemoved;
    }
    const bool dropped = removeDisabledLoginItem(item.record());
    return outcome == RemovalOutcome::removed ? recordDropped(dropped, failure) : outcome;
}
