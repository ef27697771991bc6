#include "Startup/LaunchdFolderPlists.h"

LaunchdFolderPlists::LaunchdFolderPlists(LDLaunchDomain domain) : folder_(LDDomainFolder(domain))
{
    files_ = LDLaunchCtl::jobFilesInDomain(domain, &listingError_).value_or(std::vector<LDJobFile>{});
    for (const auto& file : files_)
        if (file.label)
            firstWithLabel_.try_emplace(*file.label, &file);
}

std::pair<std::string, std::string> LaunchdFolderPlists::plistCarrying(const std::optional<std::string>& label) const
{
    const auto found = label ? firstWithLabel_.find(*label) : firstWithLabel_.end();
    if (found == firstWithLabel_.end())
        return {};
    return {found->second->name, folder_ + found->second->name};
}
