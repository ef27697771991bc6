#include "Platform/Workspace/ProcessStat.h"

#include "Platform/Files/FileRead.h"

#include <iterator>
#include <sstream>

namespace platform {

std::vector<std::string> processStatFields(pid_t pid)
{
    const std::string line = readTextFile("/proc/" + std::to_string(pid) + "/stat").value_or("");
    // The command name may hold spaces and parentheses: it ends at the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream rest(line.substr(close + 1));
    return {std::istream_iterator<std::string>(rest), std::istream_iterator<std::string>()};
}

} // namespace platform
