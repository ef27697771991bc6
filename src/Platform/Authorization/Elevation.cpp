#include "Platform/Authorization/Elevation.h"

#include "Platform/Tools/ToolPaths.h"

namespace platform {

std::vector<std::string> commandWithAdministratorRights(std::vector<std::string> command)
{
    if (const auto elevation = elevationToolPath())
        command.insert(command.begin(), *elevation);
    return command;
}

} // namespace platform
