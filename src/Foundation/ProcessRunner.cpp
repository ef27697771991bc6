#include "Foundation/ProcessRunner.h"

#include "Foundation/Utf8Text.h"
#include "Platform/Tools/ToolProcess.h"
#include "Platform/Tools/ZipExtraction.h"

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

bool unzipFile(const std::string& atPath, const std::string& toDirectory)
{
    auto process = platform::launchUnzip({"-o", atPath, "-d", toDirectory}, ToolProcess::Capture::Nothing);
    return process && process->waitForExit() == 0;
}

bool unzipMember(const std::string& atPath, const std::string& member, const std::string& toDirectory,
                 std::uint64_t sizeLimit)
{
    return platform::unzipWithinLimit(atPath, {member}, toDirectory, sizeLimit) == platform::UnzipResult::Unpacked;
}
