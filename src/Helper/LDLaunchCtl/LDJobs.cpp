#include "Helper/LDLaunchCtl/LDJobs.h"

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Helper/LDLaunchCtl/LDLaunchCtlErrors.h"
#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;
using platform::Dictionary;
using platform::Error;

namespace {

constexpr mode_t kPlistMode = 0644;

std::optional<std::string> labelOf(const Dictionary& job)
{
    const auto found = job.find("Label");
    if (found == job.end() || !found->second.asText() || found->second.asText()->empty())
        return std::nullopt;
    return *found->second.asText();
}

bool sameContentAndMode(const std::string& path, const platform::Data& bytes)
{
    struct stat info {};
    platform::Data written;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 07777) == kPlistMode &&
           platform::readWholeFile(path, written) && written == bytes;
}

bool failWith(Error* error, const char* domain, std::int64_t code, const std::string& reason)
{
    if (error)
        *error = Error{domain, code, reason};
    return false;
}

bool writeFailed(Error* error, const std::string& reason = LDErrorMessage(15))
{
    return failWith(error, LDLaunchCtlErrorDomain, 15, reason);
}

bool removeFailed(Error* error, const std::string& reason)
{
    return failWith(error, "NSCocoaErrorDomain", 513, "The file couldn\u2019t be removed: " + reason);
}

// The system domain's registry is root's: a process of another user changes it only
// through the elevation tool.
bool needsAdministrator(LDLaunchDomain domain)
{
    if (LDServiceManagementDomain(domain) != platform::LaunchdDomain::System || platform::processUserID() == 0)
        return false;
    const auto registry = platform::launchd::JobRegistry::forDomain(platform::LaunchdDomain::System);
    return !platform::userMayWrite(registry.folder().string());
}

// The plist of the domain's folder that carries the label: the one named after it
// first, else the first in name order.
std::optional<std::string> plistCarrying(LDLaunchDomain domain, const std::optional<std::string>& label)
{
    const auto files = label ? LDLaunchCtl::jobFilesInDomain(domain) : std::nullopt;
    if (!files)
        return std::nullopt;
    const auto carries = [&](const LDJobFile& file) { return file.label == label; };
    auto found = std::ranges::find_if(*files, [&](const LDJobFile& file) {
        return carries(file) && file.name == *label + ".plist";
    });
    if (found == files->end())
        found = std::ranges::find_if(*files, carries);
    return found == files->end() ? std::nullopt : std::optional(LDDomainFolder(domain) + found->name);
}

// Runs a tool of the bundle with an administrator's rights, once the user has
// granted the step; launchd's error carries why it did not.
bool raised(platform::AuthorizationRef authRef, std::vector<std::string> command, Error* error)
{
    if (!platform::AuthorizationHoldsRight(authRef))
        return failWith(error, platform::kLaunchdErrorDomain, EPERM, std::strerror(EPERM));
    const auto failure = platform::runWithAdministratorRights(std::move(command));
    return !failure || failWith(error, platform::kLaunchdErrorDomain, EPERM, *failure);
}

bool raisedLaunchctl(platform::AuthorizationRef authRef, std::vector<std::string> arguments, Error* error)
{
    arguments.insert(arguments.begin(), platform::resolveToolPath("/bin/launchctl"));
    return raised(authRef, std::move(arguments), error);
}

// A refusal of the root-owned registry to a process of another user names what is missing.
bool launchdCall(LDLaunchDomain domain, Error* error, bool done)
{
    if (!done && error && needsAdministrator(domain) && (error->code == EIO || error->code == EACCES))
        error->localizedDescription = platform::administratorRightsNeededText();
    return done;
}

} // namespace

std::optional<Dictionary> LDJobDictionary(LDLaunchDomain domain, const std::string& label)
{
    if (domain == LDLaunchDomain::none || label.empty())
        return std::nullopt;
    return platform::SMJobCopyDictionary(LDServiceManagementDomain(domain), label);
}

bool LDJobIsLoaded(const std::string& label, LDLaunchDomain domain)
{
    return LDJobDictionary(domain, label).has_value();
}

platform::Array LDAllJobDictionaries(LDLaunchDomain domain)
{
    return platform::SMCopyAllJobDictionaries(LDServiceManagementDomain(domain));
}

bool LDJobExistsInDomain(const std::string& label, LDLaunchDomain domain)
{
    return std::ranges::any_of(LDAllJobDictionaries(domain), [&](const platform::Value& job) {
        const platform::Value* jobLabel = job.find("Label");
        return jobLabel && jobLabel->asText() && *jobLabel->asText() == label;
    });
}

bool LDJobSubmit(LDLaunchDomain domain, const Dictionary& job, platform::AuthorizationRef authRef, Error* error)
{
    if (domain == LDLaunchDomain::none)
        return false;
    if (needsAdministrator(domain))
        if (const auto plist = plistCarrying(domain, labelOf(job)))
            return raisedLaunchctl(authRef, {"load", "-w", *plist}, error);
    return launchdCall(domain, error, platform::SMJobSubmit(LDServiceManagementDomain(domain), job, authRef, error));
}

bool LDJobRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef, Error* error)
{
    if (domain == LDLaunchDomain::none)
        return false;
    if (needsAdministrator(domain))
        if (const auto plist = plistCarrying(domain, label))
            return raisedLaunchctl(authRef, {"unload", "-w", *plist}, error);
    return launchdCall(domain, error,
                       platform::SMJobRemove(LDServiceManagementDomain(domain), label, authRef, true, error));
}

LDLaunchJob LDOneShotJob()
{
    LDLaunchJob job;
    job.setLaunchOnlyOnce(true);
    job.setRunAtLoad(true);
    return job;
}

bool LDRunOneShotJob(const std::string& label, const std::vector<std::string>& arguments,
                     platform::AuthorizationRef authRef, Error* error)
{
    LDLaunchJob job = LDOneShotJob();
    job.setLabel(label);
    job.setProgramArguments(arguments);
    if (!LDJobSubmit(LDLaunchDomain::globalLaunchDaemon, job.dictionary().value_or(Dictionary{}), authRef, error))
        return false;
    std::this_thread::sleep_for(LDOneShotSettleTime);
    const auto ran = LDJobDictionary(LDLaunchDomain::globalLaunchDaemon, label);
    if (ran)
        (void)LDJobRemove(LDLaunchDomain::globalLaunchDaemon, label, authRef, nullptr);
    const auto status = ran ? ran->find("LastExitStatus") : Dictionary::const_iterator{};
    return ran && status != ran->end() && status->second.asInteger() && *status->second.asInteger() == 0;
}

bool LDJobWritePlist(LDLaunchDomain domain, const Dictionary& job, platform::AuthorizationRef authRef, Error* error)
{
    const auto label = labelOf(job);
    const auto target = label ? LDJobPlistPath(domain, *label) : std::nullopt;
    const auto bytes = platform::serializePropertyList(job, platform::PropertyListFormat::Xml);
    if (!target || !bytes)
        return false;
    const std::string folder = fs::path(*target).parent_path().string();
    if (platform::processUserID() == 0 || platform::userMayWrite(folder)) {
        if (!platform::writePropertyListFile(*target, job))
            return false;
        if (::chmod(target->c_str(), kPlistMode) != 0)
            return writeFailed(error);
        return true;
    }
    // The folder is root's: the plist goes in through the elevation tool, read from a
    // pipe, never from a file another process could swap.
    if (!platform::AuthorizationHoldsRight(authRef) || !platform::onlyRootCanChange(folder))
        return writeFailed(error);
    const auto failure =
        platform::runWithAdministratorRights({"/usr/bin/install", "-m", "0644", "/dev/stdin", *target},
                                             std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (failure)
        return writeFailed(error, *failure);
    return sameContentAndMode(*target, *bytes) || writeFailed(error);
}

bool LDJobSubmitAndWritePlist(LDLaunchDomain domain, const Dictionary& job, platform::AuthorizationRef authRef,
                              Error* error)
{
    return LDJobSubmit(domain, job, authRef, error) && LDJobWritePlist(domain, job, authRef, error);
}

bool LDRemoveFilePrivileged(const std::string& path, platform::AuthorizationRef authRef, Error* error)
{
    std::error_code failure;
    if (!fs::exists(fs::symlink_status(path, failure)))
        return true;
    if (platform::processUserID() == 0 || platform::userMayRemove(path)) {
        if (fs::remove(path, failure))
            return true;
        return removeFailed(error, failure.message());
    }
    if (!platform::AuthorizationHoldsRight(authRef))
        return removeFailed(error, std::strerror(EPERM));
    const auto refused = platform::runWithAdministratorRights(
        {platform::resolveToolPath(platform::kPrivilegedRemoveTool), "remove", path});
    return !refused || removeFailed(error, *refused);
}

bool LDJobRemoveWithPlist(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                          Error* error)
{
    return LDJobRemoveWithPlistAt(domain, label, LDJobPlistPath(domain, label), authRef, error);
}

bool LDJobRemoveWithPlistAt(LDLaunchDomain domain, const std::string& label, const std::optional<std::string>& plist,
                            platform::AuthorizationRef authRef, Error* error)
{
    // One raised step unloads the system job and deletes the plist that carries it.
    if (plist && needsAdministrator(domain) && plistCarrying(domain, label) == plist)
        return raisedLaunchctl(authRef, {"unload", "-w", "--delete", *plist}, error);
    if (!LDJobRemove(domain, label, authRef, error))
        return false;
    return !plist || LDRemoveFilePrivileged(*plist, authRef, error);
}

bool LDJobBless(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef, Error* error)
{
    if (domain == LDLaunchDomain::none)
        return false;
    if (LDJobIsLoaded(label, domain))
        (void)LDHelperRemove(domain, label, authRef, nullptr);
    return platform::SMJobBless(platform::LaunchdDomain::System, label, authRef, error);
}

bool LDHelperRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef, Error*)
{
    if (domain == LDLaunchDomain::none)
        return false;
    const bool removed = LDJobRemove(domain, label, authRef, nullptr);
    const auto plist = LDJobPlistPath(domain, label);
    if (!plist || !LDRemoveFilePrivileged(*plist, authRef, nullptr))
        LDSystemLog("There was a problem removing the launchd.plist of the helper tool.");
    if (!LDRemoveFilePrivileged(platform::hostPath("/Library/PrivilegedHelperTools/") + label, authRef, nullptr))
        LDSystemLog("There was a problem removing binary file of the helper tool.");
    return removed;
}
