#include "Helper/LDLaunchCtl/LDJobs.h"

#include "Helper/LDLaunchCtl/LDLaunchCtlErrors.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/Files/AtomicFile.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// A private temporary file (unique, mode 600 until it is ready) holding the bytes, then mode 644.
std::optional<std::string> writePrivateTemporary(const platform::Data& bytes)
{
    std::string path = (fs::temp_directory_path() / "ldlaunchctl-XXXXXX").string();
    const int fd = ::mkstemp(path.data());
    if (fd < 0)
        return std::nullopt;
    bool written = true;
    for (std::size_t offset = 0; written && offset < bytes.size();) {
        const ssize_t count = ::write(fd, bytes.data() + offset, bytes.size() - offset);
        written = count > 0;
        offset += written ? static_cast<std::size_t>(count) : 0;
    }
    written = written && ::fchmod(fd, kPlistMode) == 0 && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(path.c_str());
        return std::nullopt;
    }
    return path;
}

bool writeFailed(Error* error)
{
    if (error)
        *error = Error{LDLaunchCtlErrorDomain, 15, LDErrorMessage(15)};
    return false;
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
    return platform::SMJobSubmit(LDServiceManagementDomain(domain), job, authRef, error);
}

bool LDJobRemove(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef, Error* error)
{
    if (domain == LDLaunchDomain::none)
        return false;
    return platform::SMJobRemove(LDServiceManagementDomain(domain), label, authRef, true, error);
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
    if (platform::processUserID() == 0) {
        if (!platform::writePropertyListFile(*target, job))
            return false;
        if (::chmod(target->c_str(), kPlistMode) != 0)
            return writeFailed(error);
        return true;
    }
    const auto temporary = writePrivateTemporary(*bytes);
    if (!temporary)
        return false;
    Error refusal;
    const bool moved =
        LDRunOneShotJob("com.vorqapps.ldlaunchctl.copy." + *label, {"/bin/mv", "-f", *temporary, *target}, authRef,
                        &refusal);
    ::unlink(temporary->c_str());
    if (!moved && refusal.code != 0) {
        if (error)
            *error = refusal;
        return false;
    }
    (void)LDRunOneShotJob("com.vorqapps.ldlaunchctl.chown." + *label, {"/usr/sbin/chown", "root:wheel", *target},
                          authRef, nullptr);
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
    if (platform::processUserID() == 0) {
        if (fs::remove(path, failure))
            return true;
        if (error)
            *error = Error{"NSCocoaErrorDomain", 513, "The file couldn\u2019t be removed: " + failure.message()};
        return false;
    }
    return LDRunOneShotJob("com.vorqapps.ldlaunchctl.remove." + fs::path(path).filename().string(), {"/bin/rm", path},
                           authRef, error);
}

bool LDJobRemoveWithPlist(LDLaunchDomain domain, const std::string& label, platform::AuthorizationRef authRef,
                          Error* error)
{
    if (!LDJobRemove(domain, label, authRef, error))
        return false;
    const auto plist = LDJobPlistPath(domain, label);
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
