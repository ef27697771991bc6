#pragma once

#include "Helper/LDLaunchCtl/LDLaunchDomain.h"
#include "Helper/LDLaunchCtl/LDLaunchJob.h"
#include "Platform/Authorization/Authorization.h"
#include "Platform/Launchd/Error.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One plist of a job folder that reads as a dictionary: its file name, its
// "Label" when that is a text, and the job made from it (none when that failed).
struct LDJobFile {
    std::string name;
    std::optional<std::string> label;
    std::optional<LDLaunchJob> job;
};

// The controller of the launchd job library: installs, removes, loads, unloads,
// reloads, starts, stops and restarts jobs, reads them back from the job folders
// and from launchd, and installs a privileged helper. Each operation returns
// success and reports a failure through the optional error, or, without one,
// as "Error: <message>" in the system log. An empty label stands for none.
class LDLaunchCtl {
public:
    LDLaunchCtl() = default;
    ~LDLaunchCtl();
    LDLaunchCtl(const LDLaunchCtl&) = delete;
    LDLaunchCtl& operator=(const LDLaunchCtl&) = delete;

    // The process-wide controller; it never holds a session authorisation.
    static LDLaunchCtl& sharedController();

    // Session authorisation: used by every operation until deauthorize.
    bool authorizeWithPrompt(const std::string& prompt);
    bool authorize();
    void deauthorize();
    // The authorisation an operation in the domain needs: none below 2, else the
    // session's or a new one (the caller frees a new one).
    bool createAuthorization(platform::AuthorizationRef* authRef, LDLaunchDomain domain, const std::string& label,
                             const std::string& prompt, platform::Error* error);

    // Runs `step` with the authorisation an operation in the domain needs (as
    // createAuthorization, asked with `prompt`), released afterwards unless the session's.
    bool withAuthorization(LDLaunchDomain domain, const std::string& label, const std::string& prompt,
                           platform::Error* error, const std::function<bool(platform::AuthorizationRef)>& step);

    bool jobIsValid(const LDLaunchJob& job, platform::Error* error);
    bool add(LDLaunchJob& job, LDLaunchDomain domain, platform::Error* error);
    // The same for a job's whole plist: every key is written and handed to launchd,
    // also those the job type does not know.
    bool addPlist(const platform::Dictionary& plist, LDLaunchDomain domain, platform::Error* error);
    bool remove(const std::string& label, LDLaunchDomain domain, platform::Error* error);
    // The same with an authorisation the caller obtained (and frees).
    bool remove(const std::string& label, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                platform::Error* error);
    bool load(LDLaunchJob& job, LDLaunchDomain domain, platform::Error* error);
    // The same for a job's whole plist, every key handed to launchd.
    bool loadPlist(const platform::Dictionary& plist, LDLaunchDomain domain, platform::Error* error);
    bool loadPlist(const platform::Dictionary& plist, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                   platform::Error* error);
    bool load(LDLaunchJob& job, LDLaunchDomain domain, platform::AuthorizationRef authRef, platform::Error* error);
    bool unload(const std::string& label, LDLaunchDomain domain, platform::Error* error);
    bool unload(const std::string& label, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                platform::Error* error);
    bool reload(LDLaunchJob& job, LDLaunchDomain domain, platform::Error* error);
    bool start(const std::string& label, LDLaunchDomain domain, platform::Error* error);
    bool stop(const std::string& label, LDLaunchDomain domain, platform::Error* error);
    bool restart(const std::string& label, LDLaunchDomain domain, platform::Error* error);
    bool removeJobFileWithLabel(const std::string& label, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                                platform::Error* error);

    // Every job plist of the domain's folder that reads as a dictionary; none
    // when the folder has no entries.
    static std::optional<std::vector<LDLaunchJob>> allJobsFromFilesInDomain(LDLaunchDomain domain);
    // The same plists, each read once, in name order, with their names and labels;
    // none when the folder has no entries (`listingError` says why, when given).
    static std::optional<std::vector<LDJobFile>> jobFilesInDomain(LDLaunchDomain domain,
                                                                  std::error_code* listingError = nullptr);
    // The first job of the folder whose Label is the name (".plist" dropped).
    static std::optional<LDLaunchJob> jobFromFileNamed(const std::string& name, LDLaunchDomain domain);
    static std::optional<LDLaunchJob> runningJobWithLabel(const std::string& label, LDLaunchDomain domain);
    static std::optional<std::vector<LDLaunchJob>> allRunningJobsInDomain(LDLaunchDomain domain);
    // Jobs whose Label or Program contains the text, ignoring case.
    static std::optional<std::vector<LDLaunchJob>> runningJobsMatching(const std::string& text, LDLaunchDomain domain);
    using LDJobFilter = std::function<bool(const platform::Dictionary&)>;
    // The domain's launchd jobs the filter accepts (all without one); none when launchd lists none.
    static std::optional<std::vector<LDLaunchJob>> jobMatch(const LDJobFilter& filter, LDLaunchDomain domain);

    static bool installHelper(const std::string& label, const std::string& prompt, platform::Error* error);
    static bool uninstallHelper(const std::string& label, const std::string& prompt, platform::Error* error);
    static bool uninstallHelper(const std::string& label, platform::Error* error);
    static bool removeFilesForHelperWithLabel(const std::string& label, platform::Error* error);

    static bool launchAtLogin(const std::string& applicationPath, bool launch, bool global, bool keepAlive,
                              platform::Error* error);
    using LDReply = std::function<void(const std::optional<platform::Error>&)>;
    static void scheduleJob(const std::string& label, const std::string& program,
                            const std::vector<std::string>& programArguments, std::int32_t interval,
                            LDLaunchDomain domain, const LDReply& reply);
    static void scheduleJob(const std::string& label, const std::string& program, std::int32_t interval,
                            LDLaunchDomain domain, const LDReply& reply);

    // Error factories: true only for code 0.
    static bool errorWithCode(std::int64_t code, platform::Error* error);
    static bool errorWithMessage(const std::string& message, std::int64_t code, platform::Error* error);
    static bool errorWithCFError(const platform::Error& launchdError, std::int64_t code, platform::Error* error);

private:
    // Hands the plist to launchd (a launch agent only while a user is at the console).
    bool submit(const platform::Dictionary& plist, LDLaunchDomain domain, platform::AuthorizationRef authRef,
                platform::Error* error);
    void releaseUnlessSession(platform::AuthorizationRef authRef) const;
    static bool authorizationFailed(platform::OSStatus status, platform::Error* error);

    platform::AuthorizationRef authRef_ = nullptr;
    bool isShared_ = false;
};
