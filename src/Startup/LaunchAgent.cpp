#include "Startup/LaunchAgent.h"

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Startup/LaunchdFolder.h"
#include "Startup/LaunchdFolderPlists.h"
#include "Startup/StartupItemRules.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

namespace {

namespace fs = std::filesystem;

namespace Key {
constexpr const char* label = "label";
constexpr const char* plistPath = "plistPath";
constexpr const char* ldLaunchDomain = "ldLaunchDomain";
} // namespace Key

// The program the job starts: its Program, else the first argument naming an
// application, else the first argument naming an existing file.
std::optional<std::string> programOfJob(const LDLaunchJob& job)
{
    if (const auto program = job.Program())
        return applicationPathOfProgram(*program).value_or(*program);
    const auto arguments = job.ProgramArguments();
    if (!arguments)
        return std::nullopt;
    const auto application = std::find_if(arguments->begin(), arguments->end(),
                                          [](const std::string& argument) { return argument.find(".app") != std::string::npos; });
    if (application != arguments->end())
        return *application;
    const auto existing = std::find_if(arguments->begin(), arguments->end(), [](const std::string& argument) {
        std::error_code error;
        return fs::exists(argument, error);
    });
    return existing == arguments->end() ? std::nullopt : std::optional(*existing);
}

} // namespace

LaunchAgent::LaunchAgent(const LDLaunchJob& job, LDLaunchDomain domain)
    : LaunchAgent(job, domain, findPlist(job, domain))
{
}

LaunchAgent::LaunchAgent(const LDLaunchJob& job, LDLaunchDomain domain, std::pair<std::string, std::string> plist)
    : ldLaunchJob(job), isEnable(job.isCurrentlyLoaded()), ldLaunchDomain(domain), plistName(std::move(plist.first)),
      plistPath(std::move(plist.second))
{
    resolveApplication();
    finish();
}

LaunchAgent::LaunchAgent(const platform::Dictionary& record)
{
    const auto storedPath = textEntry(record, Key::plistPath);
    const auto label = textEntry(record, Key::label);
    const auto domainText = textEntry(record, Key::ldLaunchDomain);
    if (!storedPath || !label || !domainText)
        return;
    const auto domain = static_cast<LDLaunchDomain>(integerValueOfText(*domainText));
    ldLaunchJob = LDLaunchCtl::jobFromFileNamed(*label + ".plist", domain);
    isEnable = ldLaunchJob && ldLaunchJob->isCurrentlyLoaded();
    ldLaunchDomain = domain;
    std::tie(plistName, plistPath) = findPlist(ldLaunchJob, ldLaunchDomain);
    if (ldLaunchJob) {
        resolveApplication();
    } else {
        recordLabel_ = label;
        plistPath = storedPath;
        icon = genericIcon("plist");
    }
    finish();
}

std::optional<std::string> LaunchAgent::label() const
{
    return ldLaunchJob ? ldLaunchJob->Label() : recordLabel_;
}

std::pair<std::string, std::string> LaunchAgent::findPlist(const std::optional<LDLaunchJob>& label,
                                                           std::optional<LDLaunchDomain> ldLaunchDomain)
{
    const auto domain = launchdFolder(ldLaunchDomain) ? *ldLaunchDomain : LDLaunchDomain::none;
    const LaunchdFolderPlists plists(domain);
    if (plists.listingError())
        std::cout << "Error listing " << plists.folder() << ": " << plists.listingError().message() << std::endl;
    return plists.plistCarrying(label ? label->Label() : std::nullopt);
}

void LaunchAgent::resolveApplication()
{
    const auto program = programOfJob(*ldLaunchJob);
    if (!program) {
        name = ldLaunchJob->Label();
        icon = genericIcon(ldLaunchJob->Program() || ldLaunchJob->ProgramArguments() ? "app" : "plist");
        return;
    }
    appUrl = platform::FileURL::fromPath(*program);
    auto details = applicationDetails(*appUrl);
    bundle = std::move(details.bundle);
    company = std::move(details.company);
    name = details.bundleName ? details.bundleName : appUrl->lastPathComponent();
}

void LaunchAgent::finish()
{
    finishApplication(appUrl, icon, isInvalid);
}

platform::Dictionary LaunchAgent::record() const
{
    platform::Dictionary record;
    if (const auto kept = label())
        record[Key::label] = *kept;
    if (plistPath)
        record[Key::plistPath] = *plistPath;
    if (ldLaunchDomain)
        record[Key::ldLaunchDomain] = std::to_string(static_cast<std::int64_t>(*ldLaunchDomain));
    return record;
}
