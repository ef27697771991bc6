#include "Startup/StartupItemSnapshots.h"

#include "Foundation/HelperObjc.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/LaunchdFolderPlists.h"
#include "Startup/StartupItemRules.h"

namespace {

bool isSystemJob(const std::string& label)
{
    return label.find("com.apple") != std::string::npos || label.find("com.openssh") != std::string::npos;
}

std::optional<LoginItem> loginItemOfJob(const platform::Dictionary& job)
{
    const auto label = textEntry(job, "Label");
    const auto enableTransactions = integerEntry(job, "EnableTransactions");
    if (!label || isSystemJob(*label) || !enableTransactions || integerEntry(job, "OnDemand") != 1)
        return std::nullopt;
    return LoginItem(true, label, integerEntry(job, "LastExitStatus"), textEntry(job, "LimitLoadToSessionType"),
                     enableTransactions, arrayEntry(job, "ProgramArguments"), 1, textEntry(job, "Program"),
                     integerEntry(job, "PID"), true);
}

} // namespace

std::vector<LoginItem> loginItemSnapshot()
{
    std::vector<LoginItem> items;
    for (auto& url : LaunchOnStartupList().sessionLoginItemURLs())
        items.emplace_back(true, std::move(url), false);
    if (const auto jobs = HelperObjc::getLoginItems())
        for (const auto& job : *jobs)
            if (const auto* dictionary = job.asDictionary())
                if (auto item = loginItemOfJob(*dictionary))
                    items.push_back(std::move(*item));
    return items;
}

std::vector<LaunchAgent> launchAgentSnapshot()
{
    std::vector<LaunchAgent> agents;
    for (const auto domain : {LDLaunchDomain::userLaunchAgent, LDLaunchDomain::globalLaunchAgent, LDLaunchDomain::globalLaunchDaemon})
    {
        const LaunchdFolderPlists plists(domain);
        for (const auto& file : plists.files())
            if (file.job)
                agents.emplace_back(*file.job, domain, plists.plistCarrying(file.job->Label()));
    }
    return agents;
}
