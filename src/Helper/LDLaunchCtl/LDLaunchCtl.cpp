#include "Helper/LDLaunchCtl/LDLaunchCtl.h"

#include "Helper/LDLaunchCtl/LDAuthorizer.h"
#include "Helper/LDLaunchCtl/LDJobs.h"
#include "Helper/LDLaunchCtl/LDLaunchCtlErrors.h"
#include "Helper/LDLaunchCtl/LDVersionCompare.h"
#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/ConsoleUser.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;
using platform::AuthorizationRef;
using platform::Error;

namespace {

constexpr const char* kLoadPrompt = "Loading the job requires authorization.";
constexpr const char* kUnloadPrompt = "Unloading the job requires authorization.";
constexpr const char* kReloadPrompt = "Reloading the job requires authorization.";

bool isLaunchAgentDomain(LDLaunchDomain domain)
{
    return domain < LDLaunchDomain::globalLaunchDaemon;
}

bool isUserAtConsole()
{
    const auto user = platform::consoleUser();
    return user && *user != "loginwindow";
}

bool isExecutableFile(const std::string& path)
{
    std::error_code ignored;
    const std::string resolved = platform::resolveToolPath(path);
    return !path.empty() && fs::is_regular_file(resolved, ignored) && ::access(resolved.c_str(), X_OK) == 0;
}

// Runs a launchd call; a refusal that carries launchd's error goes up unchanged
// (or to the log), an early exit without one leaves the error untouched.
template <typename Call>
bool passLaunchdError(Error* error, Call call)
{
    Error launchdError;
    if (call(&launchdError))
        return true;
    if (launchdError.code != 0)
        LDLaunchCtl::errorWithCFError(launchdError, launchdError.code, error);
    return false;
}

bool containsIgnoringCase(const platform::Dictionary& job, const char* key, const std::string& text)
{
    const auto found = job.find(key);
    if (found == job.end() || !found->second.asText())
        return false;
    const auto lower = [](std::string value) {
        std::ranges::transform(value, value.begin(), [](unsigned char c) { return std::tolower(c); });
        return value;
    };
    return lower(*found->second.asText()).find(lower(text)) != std::string::npos;
}

Error fileManagerError(const std::string& path, const std::error_code& failure)
{
    const bool missing = failure == std::errc::no_such_file_or_directory || !failure;
    return Error{"NSCocoaErrorDomain", missing ? 4 : 512,
                 "\u201c" + fs::path(path).filename().string() + "\u201d couldn\u2019t be removed" +
                     (missing ? " because it doesn\u2019t exist." : ": " + failure.message())};
}

} // namespace

LDLaunchCtl::~LDLaunchCtl()
{
    deauthorize();
}

LDLaunchCtl& LDLaunchCtl::sharedController()
{
    static LDLaunchCtl& shared = [] () -> LDLaunchCtl& {
        static LDLaunchCtl controller;
        controller.isShared_ = true;
        return controller;
    }();
    return shared;
}

bool LDLaunchCtl::authorizeWithPrompt(const std::string& prompt)
{
    if (authRef_)
        return true;
    if (isShared_) {
        LDSystemLog("You cannot create session authorization for the shared controller.");
        return false;
    }
    const auto status = LDAuthorizer::authorizeSystemDaemonWithLabel(
        "com.vorqapps.ldlaunchctl.controller.session.authorization", prompt, &authRef_);
    return status == platform::errAuthorizationSuccess;
}

bool LDLaunchCtl::authorize()
{
    return authorizeWithPrompt("Performing administrative tasks requires authorization.");
}

void LDLaunchCtl::deauthorize()
{
    LDAuthorizer::authorizationFree(authRef_);
    authRef_ = nullptr;
}

bool LDLaunchCtl::authorizationFailed(platform::OSStatus status, Error* error)
{
    return errorWithCode(status == platform::errAuthorizationCanceled ? platform::errAuthorizationCanceled : 17, error);
}

bool LDLaunchCtl::createAuthorization(AuthorizationRef* authRef, LDLaunchDomain domain, const std::string& label,
                                      const std::string& prompt, Error* error)
{
    if (domain < LDLaunchDomain::globalLaunchAgent)
        return true;
    if (authRef_) {
        *authRef = authRef_;
        return true;
    }
    const auto status = LDAuthorizer::authorizeSystemDaemonWithLabel(label, prompt, authRef);
    return status == platform::errAuthorizationSuccess || authorizationFailed(status, error);
}

bool LDLaunchCtl::withAuthorization(LDLaunchDomain domain, const std::string& label, const std::string& prompt,
                                    Error* error, const std::function<bool(AuthorizationRef)>& step)
{
    AuthorizationRef authRef = nullptr;
    if (!createAuthorization(&authRef, domain, label, prompt, error))
        return false;
    const bool done = step(authRef);
    releaseUnlessSession(authRef);
    return done;
}

void LDLaunchCtl::releaseUnlessSession(AuthorizationRef authRef) const
{
    if (authRef != authRef_)
        LDAuthorizer::authorizationFree(authRef);
}

bool LDLaunchCtl::jobIsValid(const LDLaunchJob& job, Error* error)
{
    if (!isExecutableFile(job.executablePath().value_or(std::string())))
        return errorWithCode(19, error);
    if (job.Label().value_or("").empty())
        return errorWithCode(2, error);
    return true;
}

bool LDLaunchCtl::add(LDLaunchJob& job, LDLaunchDomain domain, Error* error)
{
    if (!addPlist(job.dictionary().value_or(platform::Dictionary{}), domain, error))
        return false;
    job.setDomain(domain);
    return true;
}

bool LDLaunchCtl::addPlist(const platform::Dictionary& plist, LDLaunchDomain domain, Error* error)
{
    const LDLaunchJob job = LDLaunchJob::jobFromDictionary(plist, domain);
    if (!jobIsValid(job, error))
        return false;
    const std::string label = job.Label().value_or("");
    if (domain < LDLaunchDomain::globalLaunchAgent) {
        const auto path = LDJobPlistPath(domain, label);
        std::error_code ignored;
        if (path)
            fs::create_directories(fs::path(*path).parent_path(), ignored);
        if (!path || !platform::writePropertyListFile(*path, plist))
            return errorWithCode(15, error);
        return submit(plist, domain, nullptr, error);
    }
    AuthorizationRef authRef = nullptr;
    if (!createAuthorization(&authRef, domain, label, kLoadPrompt, error))
        return false;
    const bool added = LDJobWritePlist(domain, plist, authRef, error) && submit(plist, domain, authRef, error);
    releaseUnlessSession(authRef);
    return added;
}

bool LDLaunchCtl::remove(const std::string& label, LDLaunchDomain domain, Error* error)
{
    return withAuthorization(domain, label, kUnloadPrompt, error,
                             [&](AuthorizationRef authRef) { return remove(label, domain, authRef, error); });
}

bool LDLaunchCtl::remove(const std::string& label, LDLaunchDomain domain, AuthorizationRef authRef, Error* error)
{
    if (domain >= LDLaunchDomain::globalLaunchAgent)
        return passLaunchdError(
            error, [&](Error* launchdError) { return LDJobRemoveWithPlist(domain, label, authRef, launchdError); });
    if (!passLaunchdError(error, [&](Error* launchdError) { return LDJobRemove(domain, label, nullptr, launchdError); }))
        return false;
    const std::string plist = LDJobPlistPath(domain, label).value_or("");
    std::error_code failure;
    if (!plist.empty() && fs::remove(plist, failure))
        return true;
    return errorWithCFError(fileManagerError(plist, failure), 4, error);
}

bool LDLaunchCtl::load(LDLaunchJob& job, LDLaunchDomain domain, Error* error)
{
    if (!loadPlist(job.dictionary().value_or(platform::Dictionary{}), domain, error))
        return false;
    job.setDomain(domain);
    return true;
}

bool LDLaunchCtl::loadPlist(const platform::Dictionary& plist, LDLaunchDomain domain, Error* error)
{
    const auto label = plist.find("Label");
    const std::string* labelText = label == plist.end() ? nullptr : label->second.asText();
    return withAuthorization(domain, labelText ? *labelText : "", kLoadPrompt, error,
                             [&](AuthorizationRef authRef) { return loadPlist(plist, domain, authRef, error); });
}

bool LDLaunchCtl::loadPlist(const platform::Dictionary& plist, LDLaunchDomain domain, AuthorizationRef authRef,
                            Error* error)
{
    return submit(plist, domain, authRef, error);
}

bool LDLaunchCtl::load(LDLaunchJob& job, LDLaunchDomain domain, AuthorizationRef authRef, Error* error)
{
    if (!submit(job.dictionary().value_or(platform::Dictionary{}), domain, authRef, error))
        return false;
    job.setDomain(domain);
    return true;
}

bool LDLaunchCtl::submit(const platform::Dictionary& plist, LDLaunchDomain domain, AuthorizationRef authRef,
                         Error* error)
{
    if (isLaunchAgentDomain(domain) && !isUserAtConsole())
        return true;
    return passLaunchdError(error, [&](Error* launchdError) { return LDJobSubmit(domain, plist, authRef, launchdError); });
}

bool LDLaunchCtl::unload(const std::string& label, LDLaunchDomain domain, Error* error)
{
    return withAuthorization(domain, label, kUnloadPrompt, error,
                             [&](AuthorizationRef authRef) { return unload(label, domain, authRef, error); });
}

bool LDLaunchCtl::unload(const std::string& label, LDLaunchDomain domain, AuthorizationRef authRef, Error* error)
{
    if (!LDJobIsLoaded(label, domain))
        return errorWithCode(3, error);
    if (isLaunchAgentDomain(domain) && !isUserAtConsole()) {
        LDSystemLog("No User Logged in");
        return true;
    }
    return passLaunchdError(error, [&](Error* launchdError) { return LDJobRemove(domain, label, authRef, launchdError); });
}

bool LDLaunchCtl::reload(LDLaunchJob& job, LDLaunchDomain domain, Error* error)
{
    const std::string label = job.Label().value_or("");
    AuthorizationRef authRef = nullptr;
    if (!createAuthorization(&authRef, domain, label, kReloadPrompt, error))
        return false;
    Error unloadError;
    bool reloaded = true;
    if (LDJobExistsInDomain(label, domain) && !unload(label, domain, authRef, &unloadError))
        reloaded = errorWithCode(12, error);
    reloaded = reloaded && load(job, domain, authRef, error);
    releaseUnlessSession(authRef);
    return reloaded;
}

bool LDLaunchCtl::start(const std::string& label, LDLaunchDomain domain, Error* error)
{
    if (LDJobIsLoaded(label, domain))
        return errorWithCode(5, error);
    auto job = jobFromFileNamed(label, domain);
    if (!job)
        return errorWithCode(13, error);
    return load(*job, domain, error);
}

bool LDLaunchCtl::stop(const std::string& label, LDLaunchDomain domain, Error* error)
{
    return unload(label, domain, error);
}

bool LDLaunchCtl::restart(const std::string& label, LDLaunchDomain domain, Error* error)
{
    auto job = runningJobWithLabel(label, domain);
    if (!job)
        return errorWithCode(3, error);
    return reload(*job, domain, error);
}

bool LDLaunchCtl::removeJobFileWithLabel(const std::string& label, LDLaunchDomain domain, AuthorizationRef,
                                         Error* error)
{
    const auto plist = LDJobPlistPath(domain, label);
    std::error_code failure;
    if (!plist || !fs::exists(fs::symlink_status(*plist, failure)))
        return true;
    if (fs::is_directory(*plist, failure))
        return errorWithCode(14, error);
    return fs::remove(*plist, failure) || errorWithCFError(fileManagerError(*plist, failure), 512, error);
}

std::optional<std::vector<LDLaunchJob>> LDLaunchCtl::allJobsFromFilesInDomain(LDLaunchDomain domain)
{
    const auto files = jobFilesInDomain(domain);
    if (!files)
        return std::nullopt;
    std::vector<LDLaunchJob> jobs;
    for (const auto& file : *files)
        if (file.job)
            jobs.push_back(*file.job);
    return jobs;
}

std::optional<std::vector<LDJobFile>> LDLaunchCtl::jobFilesInDomain(LDLaunchDomain domain, std::error_code* listingError)
{
    const std::string folder = LDDomainFolder(domain);
    std::vector<std::string> names;
    std::error_code failure;
    for (fs::directory_iterator entry(folder, failure), end; !failure && entry != end; entry.increment(failure))
        names.push_back(entry->path().filename().string());
    if (listingError)
        *listingError = failure;
    if (names.empty())
        return std::nullopt;
    std::ranges::sort(names);
    std::vector<LDJobFile> files;
    for (const auto& name : names) {
        const auto plist = platform::readPropertyListFile((fs::path(folder) / name).string());
        if (!plist || !plist->asDictionary())
            continue;
        const platform::Value* label = plist->find("Label");
        LDJobFile& file = files.emplace_back(name, label && label->asText() ? std::optional(*label->asText()) : std::nullopt);
        try {
            file.job = LDLaunchJob::jobFromDictionary(*plist->asDictionary(), domain);
        } catch (const std::exception& exception) {
            LDSystemLog(std::string("error ") + exception.what());
        }
    }
    return files;
}

std::optional<LDLaunchJob> LDLaunchCtl::jobFromFileNamed(const std::string& name, LDLaunchDomain domain)
{
    const std::string label = name.ends_with(".plist") ? name.substr(0, name.size() - 6) : name;
    const auto jobs = allJobsFromFilesInDomain(domain);
    if (!jobs)
        return std::nullopt;
    const auto found = std::ranges::find_if(*jobs, [&](const LDLaunchJob& job) { return job.Label() == label; });
    return found == jobs->end() ? std::nullopt : std::optional<LDLaunchJob>(*found);
}

std::optional<LDLaunchJob> LDLaunchCtl::runningJobWithLabel(const std::string& label, LDLaunchDomain domain)
{
    if (const auto dictionary = LDJobDictionary(domain, label))
        return LDLaunchJob::jobFromDictionary(*dictionary, domain);
    const auto matching = runningJobsMatching(label, domain);
    if (!matching || matching->empty())
        return std::nullopt;
    return matching->back();
}

std::optional<std::vector<LDLaunchJob>> LDLaunchCtl::allRunningJobsInDomain(LDLaunchDomain domain)
{
    return jobMatch(nullptr, domain);
}

std::optional<std::vector<LDLaunchJob>> LDLaunchCtl::runningJobsMatching(const std::string& text,
                                                                         LDLaunchDomain domain)
{
    return jobMatch(
        [&](const platform::Dictionary& job) {
            return containsIgnoringCase(job, "Label", text) || containsIgnoringCase(job, "Program", text);
        },
        domain);
}

std::optional<std::vector<LDLaunchJob>> LDLaunchCtl::jobMatch(const LDJobFilter& filter, LDLaunchDomain domain)
{
    const auto dictionaries = LDAllJobDictionaries(domain);
    if (dictionaries.empty())
        return std::nullopt;
    std::vector<LDLaunchJob> jobs;
    for (const auto& dictionary : dictionaries)
        if (dictionary.asDictionary() && (!filter || filter(*dictionary.asDictionary())))
            jobs.push_back(LDLaunchJob::jobFromDictionary(*dictionary.asDictionary(), domain));
    return jobs;
}

bool LDLaunchCtl::installHelper(const std::string& label, const std::string& prompt, Error* error)
{
    constexpr auto daemons = LDLaunchDomain::globalLaunchDaemon;
    if (const auto running = runningJobWithLabel(label, daemons)) {
        const auto shipped =
            LDExecutableBundleVersion(platform::Bundle::main().bundlePath() + "/Contents/Library/LaunchServices/" + label);
        const auto installed = running->executableVersion();
        if (shipped && installed && ld_version_isLessThanOrEqualTo(*shipped, *installed))
            return true;
    }
    AuthorizationRef authRef = nullptr;
    const auto status = LDAuthorizer::authorizeSMJobBlessWithPrompt(prompt, &authRef);
    if (status != platform::errAuthorizationSuccess)
        return authorizationFailed(status, error);
    if (LDJobIsLoaded(label, daemons))
        (void)LDHelperRemove(daemons, label, authRef, nullptr);
    const bool blessed = LDJobBless(daemons, label, authRef, nullptr) || errorWithCode(7, error);
    LDAuthorizer::authorizationFree(authRef);
    return blessed;
}

bool LDLaunchCtl::uninstallHelper(const std::string& label, const std::string& prompt, Error* error)
{
    constexpr auto daemons = LDLaunchDomain::globalLaunchDaemon;
    if (!LDJobIsLoaded(label, daemons))
        return errorWithCode(9, error);
    AuthorizationRef authRef = nullptr;
    const auto status = LDAuthorizer::authorizeSystemDaemonWithLabel(label, prompt, &authRef);
    if (status != platform::errAuthorizationSuccess)
        return authorizationFailed(status, error);
    const bool removed = LDHelperRemove(daemons, label, authRef, nullptr) || errorWithCode(8, error);
    LDAuthorizer::authorizationFree(authRef);
    return removed;
}

bool LDLaunchCtl::uninstallHelper(const std::string& label, Error* error)
{
    return uninstallHelper(label, LDProcessName() + " is trying to uninstall a the helper tool and it's components.",
                           error);
}

bool LDLaunchCtl::removeFilesForHelperWithLabel(const std::string&, Error*)
{
    return true;
}

bool LDLaunchCtl::launchAtLogin(const std::string& applicationPath, bool launch, bool global, bool keepAlive,
                                Error* error)
{
    const platform::Bundle application(applicationPath);
    const std::string label = application.bundleIdentifier().value_or("") + ".launcher";
    const auto domain = global ? LDLaunchDomain::globalLaunchAgent : LDLaunchDomain::userLaunchAgent;
    LDLaunchCtl controller;
    if (!launch)
        return controller.remove(label, domain, error);
    LDLaunchJob job;
    job.setLabel(label);
    job.setProgram(application.executablePath());
    job.setRunAtLoad(true);
    job.setKeepAlive(platform::Dictionary{{"SuccessfulExit", keepAlive}});
    return controller.add(job, domain, error);
}

void LDLaunchCtl::scheduleJob(const std::string& label, const std::string& program,
                              const std::vector<std::string>& programArguments, std::int32_t interval,
                              LDLaunchDomain domain, const LDReply& reply)
{
    LDLaunchJob job;
    job.setLabel(label);
    job.setProgram(program);
    job.setProgramArguments(programArguments);
    job.setRunAtLoad(true);
    job.setStartInterval(interval);
    LDLaunchCtl controller;
    Error error;
    const bool added = controller.add(job, domain, &error);
    if (reply)
        reply(added ? std::nullopt : std::optional<Error>(error));
}

void LDLaunchCtl::scheduleJob(const std::string& label, const std::string& program, std::int32_t interval,
                              LDLaunchDomain domain, const LDReply& reply)
{
    scheduleJob(label, program, {}, interval, domain, reply);
}
