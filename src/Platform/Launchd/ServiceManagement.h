#pragma once

#include "Platform/Authorization/Authorization.h"
#include "Platform/Launchd/Error.h"
#include "Platform/Values/Value.h"

#include <optional>
#include <string>

// The stand-in launchd's ServiceManagement calls. Jobs live in a registry under
// the platform root, one per launchd domain, shared by every process. A loaded
// job that runs at load (RunAtLoad, or KeepAlive) really runs, detached, under a
// small supervisor that restarts it under KeepAlive and stops it on removal; a
// job whose supervisor has ended (killed, or gone with a restart) is not loaded.
// A one-shot job (LaunchOnlyOnce with RunAtLoad) runs to its end before the
// submission returns, and stays registered until removed.
namespace platform {

enum class LaunchdDomain { User, System }; // kSMDomainUserLaunchd, kSMDomainSystemLaunchd

inline constexpr const char* kLaunchdErrorDomain = "CFErrorDomainLaunchd";

// Registers and starts a job, its process run as its UserName, GroupName and
// InitGroups say (launchd::credentialsOfJob). Refused (with an error) when the
// dictionary has no Label or nothing to run, when its UserName or GroupName names
// nobody (the error says which), when a job of that label is loaded, or, in the system
// domain of an unprivileged process, without an authorisation that holds a right.
[[nodiscard]] bool SMJobSubmit(LaunchdDomain domain, const Dictionary& job, AuthorizationRef authorization,
                               Error* error);

// Unregisters a job and stops it: the job is no longer listed once the call
// returns; with `wait`, its process has ended too. A job being removed may be
// submitted again at once.
[[nodiscard]] bool SMJobRemove(LaunchdDomain domain, const std::string& label, AuthorizationRef authorization,
                               bool wait, Error* error);

// The job's dictionary as submitted, with the live "PID" (while it runs) and
// "LastExitStatus" (a wait status, 0 before any run); null for an unknown label.
std::optional<Dictionary> SMJobCopyDictionary(LaunchdDomain domain, const std::string& label);

// Every job's dictionary of the domain, ordered by label.
Array SMCopyAllJobDictionaries(LaunchdDomain domain);

// Installs the helper tool "Contents/Library/LaunchServices/<label>" of the main
// bundle into "/Library/PrivilegedHelperTools/", writes its job plist into
// "/Library/LaunchDaemons/" and loads it in the system domain. Needs an
// authorisation holding "com.apple.ServiceManagement.blesshelper".
[[nodiscard]] bool SMJobBless(LaunchdDomain domain, const std::string& label, AuthorizationRef authorization,
                              Error* error);

} // namespace platform
