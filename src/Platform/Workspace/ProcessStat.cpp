#include "Platform/Workspace/ProcessStat.h"

#include "Platform/Workspace/ProcessList.h"

#include <charconv>
#include <iterator>
#include <sstream>

namespace platform {

std::vector<std::string> processStatFields(pid_t pid)
{
    const std::string line = readProcessFile(pid, "stat").value_or("");
    // The command name may hold spaces and parentheses: it ends at the last ')'.
    const auto close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream rest(line.substr(close + 1));
    return {std::istream_iterator<std::string>(rest), std::istream_iterator<std::string>()};
}

std::optional<unsigned long long> runningProcessStartTime(pid_t pid)
{
    const auto fields = processStatFields(pid);
    unsigned long long start = 0;
    if (fields.size() <= 19 || fields.front() == "Z")
        return std::nullopt;
    const auto [end, failure] = std::from_chars(fields[19].data(), fields[19].data() + fields[19].size(), start);
    if (failure != std::errc() || end != fields[19].data() + fields[19].size())
        return std::nullopt;
    return start;
}

} // namespace platform
