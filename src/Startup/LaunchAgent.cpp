#include "Startup/LaunchAgent.h"

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"
#include "Startup/LaunchdFolder.h"
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

std::optional<std::vector<std::string>> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (fs::directory_iterator end; !error && entry != end; entry.increment(error))
        names.push_back(entry->path().filename().string());
    if (error) {
        std::cout << "Error listing " << folder << ": " << error.message() << std::endl;
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> labelInPlist(const std::string& path)
{
    const auto plist = platform::readPropertyListFile(path);
    if (!plist || !plist->asDictionary())
        return std::nullopt;
    return textEntry(*plist->asDictionary(), "Label");
}

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
    : ldLaunchJob(job), isEnable(job.isCurrentlyLoaded()), ldLaunchDomain(domain)
{
    placePlist();
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
    placePlist();
    if (ldLaunchJob)
        resolveApplication();
    else
        icon = genericIcon("plist");
    finish();
}

std::pair<std::string, std::string> LaunchAgent::findPlist(const std::optional<LDLaunchJob>& label,
                                                           std::optional<LDLaunchDomain> ldLaunchDomain)
{
    const std::string folder = launchdFolder(ldLaunchDomain).value_or(platform::homeDirectory() + "/Library/LaunchAgents/");
    const auto entries = folderEntries(folder);
    const auto jobLabel = label ? label->Label() : std::nullopt;
    if (!entries || !jobLabel)
        return {};
    for (const auto& entry : *entries)
        if (labelInPlist(folder + entry) == jobLabel)
            return {entry, folder + entry};
    return {};
}

void LaunchAgent::placePlist()
{
    std::tie(plistName, plistPath) = findPlist(ldLaunchJob, ldLaunchDomain);
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
    if (const auto label = ldLaunchJob ? ldLaunchJob->Label() : std::nullopt)
        record[Key::label] = *label;
    if (plistPath)
        record[Key::plistPath] = *plistPath;
    if (ldLaunchDomain)
        record[Key::ldLaunchDomain] = std::to_string(static_cast<std::int64_t>(*ldLaunchDomain));
    return record;
}
