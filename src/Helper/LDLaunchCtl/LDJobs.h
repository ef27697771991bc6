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

bool LDJobSubmit(LDLaunchDomain domain, const platform::Dictionary& job, platform::AuthorizationRef authRef,
                 platform::Error* error);
// Waits for the job to stop.
bool LDJobRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                 platform::Error* error);

// Writes the job's plist into the domain's folder (mode 644, root:wheel when
// privileged). True only when the file is in place with that content and mode.
bool LDJobWritePlist(LDLaunchDomain domain, const platform::Dictionary& job, platform::AuthorizationRef authRef,
                     platform::Error* error);
bool LDJobSubmitAndWritePlist(LDLaunchDomain domain, const platform::Dictionary& job,
                              platform::AuthorizationRef authRef, platform::Error* error);
// Removes one file as root; true when nothing is left at the path.
bool LDRemoveFilePrivileged(const std::string& path, platform::AuthorizationRef authRef, platform::Error* error);
bool LDJobRemoveWithPlist(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                          platform::Error* error);
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
