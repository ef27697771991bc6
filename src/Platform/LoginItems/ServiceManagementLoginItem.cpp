#include "Platform/LoginItems/ServiceManagementLoginItem.h"

#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/ServiceManagement.h"

#include <filesystem>
#include <optional>

namespace platform {

namespace {

std::optional<Bundle> helperOfMainBundle(const std::string& identifier)
{
    std::error_code error;
    const std::filesystem::path folder = Bundle::main().bundlePath() + "/Contents/Library/LoginItems";
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        Bundle helper(it->path().string());
        if (it->path().extension() == ".app" && helper.bundleIdentifier() == identifier)
            return helper;
    }
    return std::nullopt;
}

} // namespace

bool SMLoginItemSetEnabled(const std::string& identifier, bool enabled)
{
    if (!enabled)
        return SMJobRemove(LaunchdDomain::User, identifier, nullptr, true, nullptr);
    const auto helper = helperOfMainBundle(identifier);
    if (!helper || helper->executablePath().empty())
        return false;
    const Dictionary job{{"Label", identifier},
                         {"Program", helper->executablePath()},
                         {"ProgramArguments", Array{helper->executablePath()}},
                         {"RunAtLoad", true},
                         {"OnDemand", true},
                         {"EnableTransactions", true}};
    return SMJobSubmit(LaunchdDomain::User, job, nullptr, nullptr);
}

} // namespace platform
