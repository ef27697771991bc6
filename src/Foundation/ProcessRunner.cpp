#include "Foundation/ProcessRunner.h"

#include "Foundation/Utf8Text.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"

using platform::ToolProcess;

TaskResult runTask(const std::string& launchPath, const std::vector<std::string>& arguments)
{
    auto process = ToolProcess::launch(launchPath, arguments, ToolProcess::Capture::OutputAndError);
    if (!process)
        return {std::nullopt, toolNotStartedStatus};
    auto output = utf8Text(process->readOutputToEnd());
    return {std::move(output), process->waitForExit()};
}

std::optional<std::string> runTaskReturningOutput(const std::string& launchPath,
                                                  const std::vector<std::string>& arguments)
{
    auto process = ToolProcess::launch(launchPath, arguments, ToolProcess::Capture::Output);
    if (!process)
        return std::nullopt;
    auto output = utf8Text(process->readOutputToEnd());
    process->reapInBackground();
    return output;
}

namespace {

bool succeeds(const std::string& launchPath, const std::vector<std::string>& arguments)
{
    auto process = ToolProcess::launch(launchPath, arguments, ToolProcess::Capture::Nothing);
    return process && process->waitForExit() == 0;
}

} // namespace

bool unzipFile(const std::string& atPath, const std::string& toDirectory)
{
    return succeeds("/usr/bin/unzip", {"-o", atPath, "-d", toDirectory});
}

// prlimit sets the file-size limit before unzip starts, so no byte past it is
// ever written (the kernel ends the tool with SIGXFSZ).
bool unzipMember(const std::string& atPath, const std::string& member, const std::string& toDirectory,
                 std::uint64_t sizeLimit)
{
    return succeeds("/usr/bin/prlimit", {"--fsize=" + std::to_string(sizeLimit), "--",
                                         platform::resolveToolPath("/usr/bin/unzip"), "-o", atPath, member, "-d",
                                         toDirectory});
}
