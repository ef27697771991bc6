// The stand-in "/bin/launchctl": load [-w] <plist>..., unload [-w] <plist>...,
// list [label], over the stand-in launchd. A plist in a LaunchDaemons folder goes
// to the system domain, every other one to the user's. Run by the elevation tool
// (RaisedLaunchctl.h) it takes one system job's plist and nothing else.
#include "RaisedLaunchctl.h"

#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Values/PropertyList.h"

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <string>
#include <variant>
#include <vector>

using platform::Dictionary;
using platform::LaunchdDomain;
using platform::launchd::JobRegistry;

namespace {

struct Job {
    std::string path;
    std::string label;
    Dictionary dictionary;
    LaunchdDomain domain;
};

LaunchdDomain domainOfPlist(const std::string& path)
{
    for (const char* folder : {"/Library/LaunchDaemons/", "/System/Library/LaunchDaemons/"})
        if (path.starts_with(platform::hostPath(folder)))
            return LaunchdDomain::System;
    return LaunchdDomain::User;
}

std::optional<Job> readJob(const std::string& path)
{
    auto plist = platform::readPropertyListFile(path);
    const platform::Value* label = plist ? plist->find("Label") : nullptr;
    if (!label || !label->asText()) {
        std::cerr << path << ": Invalid property list\n";
        return std::nullopt;
    }
    return Job{path, *label->asText(), *plist->asDictionary(), domainOfPlist(path)};
}

bool isDisabled(const Job& job, const JobRegistry& registry)
{
    if (const auto override = registry.disabledOverride(job.label))
        return *override;
    const auto disabled = job.dictionary.find("Disabled");
    return disabled != job.dictionary.end() && disabled->second.asBoolean() && *disabled->second.asBoolean();
}

bool load(const Job& job, bool write)
{
    const JobRegistry registry = JobRegistry::forDomain(job.domain);
    if (write)
        registry.setDisabledOverride(job.label, false);
    else if (isDisabled(job, registry)) {
        std::cerr << job.path << ": service is disabled\n";
        return false;
    }
    platform::Error error;
    if (platform::SMJobSubmit(job.domain, job.dictionary, nullptr, &error))
        return true;
    std::cerr << job.path << ": " << (error.code == EEXIST ? "service already loaded" : error.localizedDescription)
              << '\n';
    return false;
}

bool unload(const Job& job, bool write)
{
    if (write)
        JobRegistry::forDomain(job.domain).setDisabledOverride(job.label, true);
    platform::Error error;
    if (platform::SMJobRemove(job.domain, job.label, nullptr, true, &error))
        return true;
    std::cerr << job.path << ": "
              << (error.code == ESRCH ? "Could not find specified service" : error.localizedDescription) << '\n';
    return false;
}

int list(const std::vector<std::string>& labels)
{
    if (!labels.empty()) {
        const auto job = platform::SMJobCopyDictionary(LaunchdDomain::User, labels.front());
        const auto text = job ? platform::serializePropertyList(*job, platform::PropertyListFormat::Xml) : std::nullopt;
        if (!text) {
            std::cerr << "Could not find service \"" << labels.front() << "\" in domain for user\n";
            return 113;
        }
        std::cout << std::string(text->begin(), text->end());
        return 0;
    }
    std::cout << "PID\tStatus\tLabel\n";
    for (const auto& job : platform::SMCopyAllJobDictionaries(LaunchdDomain::User)) {
        const platform::Value* label = job.find("Label");
        if (!label || !label->asText() || !JobRegistry::isUsableLabel(*label->asText()))
            continue; // a record that no submit wrote
        const platform::Value* pid = job.find("PID");
        const platform::Value* status = job.find("LastExitStatus");
        std::cout << (pid && pid->asInteger() ? std::to_string(*pid->asInteger()) : "-") << '\t'
                  << (status && status->asInteger() ? *status->asInteger() : 0) << '\t' << *label->asText() << '\n';
    }
    return 0;
}

int usage()
{
    std::cerr << "usage: launchctl load [-w] <plist>... | unload [-w] [--delete] <plist>... | list [label]\n";
    return 64;
}

// Takes `flag` off the front of the operands; whether it was there.
bool takeFlag(std::vector<std::string>& operands, const char* flag)
{
    if (operands.empty() || operands.front() != flag)
        return false;
    operands.erase(operands.begin());
    return true;
}

// "unload --delete": the plist goes once its job is unloaded.
bool deleted(const std::string& path, bool remove)
{
    std::error_code failure;
    if (!remove || std::filesystem::remove(path, failure) || !failure)
        return true; // removed, or gone already
    std::cerr << path << ": could not be deleted: " << failure.message() << '\n';
    return false;
}

// As the elevation tool runs it: one plist, checked and read by RaisedLaunchctl.h.
int runRaised(const std::string& command, const std::vector<std::string>& operands, bool write, bool remove)
{
    const auto request = raised::readPlist(operands);
    if (const auto* problem = std::get_if<std::string>(&request)) {
        std::cerr << "launchctl: " << *problem << '\n';
        return 2;
    }
    const auto& plist = std::get<raised::Plist>(request);
    raised::enterRootOf(plist);
    if (const auto refused = raised::refusedRegistry(JobRegistry::forDomain(LaunchdDomain::System).folder())) {
        std::cerr << "launchctl: " << *refused << '\n';
        return 2;
    }
    const Job job{plist.path, plist.label, plist.dictionary, LaunchdDomain::System};
    if (const auto refused = command == "load" ? raised::refusedRootJob(plist.dictionary) : std::nullopt) {
        std::cerr << "launchctl: " << plist.path << ": " << *refused << '\n';
        return 2;
    }
    if (command == "load")
        return load(job, write) ? 0 : 1;
    if (!unload(job, write))
        return 1;
    if (const auto failure = remove ? raised::deletePlist(plist) : std::error_code()) {
        std::cerr << "launchctl: " << plist.path << " could not be deleted: " << failure.message() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.empty())
        return usage();
    const std::string& command = arguments.front();
    std::vector<std::string> operands(arguments.begin() + 1, arguments.end());
    if (command == "list")
        return list(operands);
    if (command != "load" && command != "unload")
        return usage();
    const bool write = takeFlag(operands, "-w");
    const bool remove = command == "unload" && takeFlag(operands, "--delete");
    if (operands.empty())
        return usage();
    if (raised::isRaised())
        return runRaised(command, operands, write, remove);
    bool succeeded = true;
    for (const auto& path : operands) {
        const auto job = readJob(path);
        succeeded = job && (command == "load" ? load(*job, write) : unload(*job, write) && deleted(path, remove)) &&
                    succeeded;
    }
    return succeeded ? 0 : 1;
}
