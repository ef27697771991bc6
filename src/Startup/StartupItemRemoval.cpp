#include "Startup/StartupItemRemoval.h"

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"
#include "Platform/LoginItems/ServiceManagementLoginItem.h"
#include "Startup/DisabledStartupItemRecords.h"
#include "Startup/LaunchOnStartup.h"
#include "Startup/LaunchdFolder.h"

#include <filesystem>
#include <iostream>

namespace {

bool isFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string withoutPlistExtensions(std::string name)
{
    for (auto at = name.find(".plist"); at != std::string::npos; at = name.find(".plist"))
        name.erase(at, std::string_view(".plist").size());
    return name;
}

std::string describe(const platform::Error& error)
{
    return "Error Domain=" + error.domain + " Code=" + std::to_string(error.code) + " \"" + error.localizedDescription
           + "\"";
}

} // namespace

RemovalOutcome removeStartupItem(const LaunchAgent& agent)
{
    const auto folder = launchdFolder(agent.ldLaunchDomain);
    if (!folder)
        return RemovalOutcome::passedOver;
    auto& controller = LDLaunchCtl::sharedController();
    platform::Error error;
    bool removed = false;
    const auto label = agent.ldLaunchJob ? agent.ldLaunchJob->Label() : std::nullopt;
    if (label && !label->empty() && isFile(*folder + *label))
        removed = controller.remove(*label, *agent.ldLaunchDomain, &error);
    if (agent.plistName && !agent.plistName->empty() && isFile(*folder + *agent.plistName))
        removed = controller.remove(withoutPlistExtensions(*agent.plistName), *agent.ldLaunchDomain, &error) || removed;
    return removed ? RemovalOutcome::removed : RemovalOutcome::notRemoved;
}

RemovalOutcome removeStartupItem(const LoginItem& item)
{
    auto outcome = RemovalOutcome::removed;
    if (item.program) {
        if (item.helperBundleIdentifier)
            (void)platform::SMLoginItemSetEnabled(*item.helperBundleIdentifier, false);
        platform::Error error;
        if (!LDLaunchCtl::sharedController().remove(item.label.value_or(""), LDLaunchDomain::userLaunchAgent, &error)) {
            std::cout << describe(error) << std::endl;
            outcome = RemovalOutcome::notRemoved;
        }
    } else if (item.appUrl) {
        setLaunchOnStartup(false, *item.appUrl);
    }
    removeDisabledLoginItem(item.record());
    return outcome;
}
