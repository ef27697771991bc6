#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"
#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Authorization/Authorization.h"
#include "Platform/Launchd/Error.h"
#include "Platform/Values/Value.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

// The job-level functions of the library: launchd look-ups and changes in the
// launchd domain that serves each folder, and privileged file changes made by
// one-shot jobs. Every error out-parameter is optional and receives launchd's error.

std::optional<platform::Dictionary> LDJobDictionary(LDLaunchDomain domain, const std::string& label);
bool LDJobIsLoaded(const std::string& label, LDLaunchDomain domain);
platform::Array LDAllJobDictionaries(LDLaunchDomain domain);
bool LDJobExistsInDomain(const std::string& label, LDLaunchDomain domain);

// In the system domain, a process whose user cannot change launchd's registry loads
// and unloads a job that a plist of the domain's folder carries through the bundle's
// launchctl, run with an administrator's rights ("load -w" / "unload -w"), once the
// authorisation holds a right; without a way to raise it the error says that an
// administrator's rights are needed.
bool LDJobSubmit(LDLaunchDomain domain, const platform::Dictionary& job, platform::AuthorizationRef authRef,
                 platform::Error* error);
// Waits for the job to stop.
bool LDJobRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                 platform::Error* error);

// Writes the job's plist into the domain's folder (mode 644; into a folder of root's
// through the elevation tool, so the file is root's). True only when the file is in
// place with that content and mode.
bool LDJobWritePlist(LDLaunchDomain domain, const platform::Dictionary& job, platform::AuthorizationRef authRef,
                     platform::Error* error);
bool LDJobSubmitAndWritePlist(LDLaunchDomain domain, const platform::Dictionary& job,
                              platform::AuthorizationRef authRef, platform::Error* error);
// Removes one file, through the bundle's privileged remover with an administrator's
// rights where the user's own cannot; true when nothing is left at the path.
bool LDRemoveFilePrivileged(const std::string& path, platform::AuthorizationRef authRef, platform::Error* error);
bool LDJobRemoveWithPlist(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                          platform::Error* error);
// The same with the job's plist wherever it is (none when it has none): a system job
// of a process without root's rights is unloaded and its plist deleted in one step
// through the elevation tool.
bool LDJobRemoveWithPlistAt(LDLaunchDomain domain, const std::string& label, const std::optional<std::string>& plist,
                            platform::AuthorizationRef authRef, platform::Error* error);
bool LDJobBless(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                platform::Error* error);
bool LDHelperRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                    platform::Error* error);

// A job that launchd runs once, at once, as root.
LDLaunchJob LDOneShotJob();

// Submits a one-shot job in the system domain, lets it settle, and takes it off
// launchd again (so the label can be used anew). True when it was submitted and
// the tool ended with exit code 0; the error receives launchd's refusal.
bool LDRunOneShotJob(const std::string& label, const std::vector<std::string>& arguments,
                     platform::AuthorizationRef authRef, platform::Error* error);

// The time a one-shot job is given before it is taken off launchd.
inline constexpr std::chrono::milliseconds LDOneShotSettleTime{500};
