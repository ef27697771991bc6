#include "Platform/Workspace/ProcessStat.h"

#include <fstream>
#include <iterator>
#include <sstream>

namespace platform {

std::vector<std::string> processStatFields(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name may hold spaces and parentheses: it ends at the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream rest(line.substr(close + 1));
    return {std::istream_iterator<std::string>(rest), std::istream_iterator<std::string>()};
}

} // namespace platform
