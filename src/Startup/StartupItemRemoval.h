#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"
#include "Platform/Authorization/Authorization.h"
#include "Platform/Launchd/Error.h"
#include "Startup/LaunchAgent.h"
#include "Startup/LoginItem.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// What became of one selected record in a removal.
enum class RemovalOutcome {
    removed,
    notRemoved, // stays in the list
    passedOver, // nothing to remove it from: counted neither way, leaves the list
    notStored,  // its switched-off record could not be dropped: counted as not removed, stays
};

// A launch agent: a loaded job is taken off launchd by its label and the plist its
// folder holds for it (whatever the file's name) deleted, an unloaded one's plist
// deleted, in its domain; an item already gone (no plist, no loaded job) counts as
// removed. Its switched-off record then goes, and the item counts as removed only
// once it has. `failure` gets why an item was not removed.
RemovalOutcome removeStartupItem(const LaunchAgent& agent, std::string* failure = nullptr);

// A login item: a launchd job of the user's (its service-management switch off
// first; one already gone counts as removed), or a session login item (not removed
// when the session's list cannot be changed); its switched-off record goes in either
// case, and a removed item whose record could not be dropped counts as notStored.
RemovalOutcome removeStartupItem(const LoginItem& item, std::string* failure = nullptr); // also prints why

// A loaded job and its own plist (whatever the file's name; none when it is gone): the
// job is taken off launchd by its label and the plist deleted, with the authorisation
// the domain needs, asked once (LDJobRemoveWithPlistAt). False, with launchd's or the
// file's error, when either fails.
bool removeLoadedJob(const std::string& label, LDLaunchDomain domain, const std::optional<std::string>& plistPath,
                     platform::Error* error);

// The text of the authorisation dialog for a step on one job, naming it by its label
// and its plist's path (where known): "<action> the job “<label>” (<path>) requires
// authorization."
std::string jobAuthorizationPrompt(std::string_view action, const std::optional<std::string>& label,
                                   const std::optional<std::string>& plistPath);

// Runs `step` with the authorisation the agent's domain needs (none for the user's
// own), the dialog naming the agent (jobAuthorizationPrompt with `action`).
bool withJobAuthorization(const LaunchAgent& agent, std::string_view action, platform::Error* error,
                          const std::function<bool(platform::AuthorizationRef)>& step);

// The plist of the domain's folder whose "Label" is the label (the first in name
// order); none when no file carries it.
std::optional<std::string> plistOfJob(const std::string& label, LDLaunchDomain domain);
