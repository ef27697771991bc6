#include "Platform/Authorization/Elevation.h"

#include "Platform/Tools/ToolPaths.h"

#include <filesystem>

namespace platform {

std::vector<std::string> commandWithAdministratorRights(std::vector<std::string> command)
{
    if (command.empty())
        return command;
    std::error_code error;
    const auto tool = std::filesystem::canonical(command.front(), error).string();
    const auto elevation = elevationToolPath();
    if (error || !elevation || !onlyRootCanChange(tool))
        return command;
    command.front() = tool;
    command.insert(command.begin(), *elevation);
    return command;
}

} // namespace platform
