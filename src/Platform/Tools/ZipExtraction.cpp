#include "Platform/Tools/ZipExtraction.h"

#include "Platform/Tools/ToolPaths.h"
#include "Platform/Tools/ToolProcess.h"

namespace platform {

namespace {

// What the members unpack to, counted as "unzip -p" writes them, up to one byte past
// the limit; a tool that fails gives Failed.
UnzipResult measure(const std::string& archive, const std::vector<std::string>& members, std::uint64_t sizeLimit)
{
    std::vector<std::string> arguments{"-p", "-qq", archive};
    arguments.insert(arguments.end(), members.begin(), members.end());
    auto process = ToolProcess::launch("/usr/bin/unzip", arguments, ToolProcess::Capture::Output);
    if (!process)
        return UnzipResult::Failed;
    std::uint64_t size = 0;
    process->readOutput([&](std::string_view chunk) {
        size += chunk.size();
        return size <= sizeLimit;
    });
    const int status = process->waitForExit();
    if (size > sizeLimit)
        return UnzipResult::TooLarge;
    return status == 0 ? UnzipResult::Unpacked : UnzipResult::Failed;
}

} // namespace

UnzipResult unzipWithinLimit(const std::string& archive, const std::vector<std::string>& members,
                             const std::string& folder, std::uint64_t sizeLimit)
{
    if (const UnzipResult measured = measure(archive, members, sizeLimit); measured != UnzipResult::Unpacked)
        return measured;
    // prlimit sets the file-size limit before unzip starts, so no byte past it is
    // written even to an archive changed since it was counted.
    std::vector<std::string> arguments{"--fsize=" + std::to_string(sizeLimit), "--",
                                       resolveToolPath("/usr/bin/unzip"), "-o", "-q", archive};
    arguments.insert(arguments.end(), members.begin(), members.end());
    arguments.insert(arguments.end(), {"-d", folder});
    auto process = ToolProcess::launch("/usr/bin/prlimit", arguments, ToolProcess::Capture::Nothing);
    return process && process->waitForExit() == 0 ? UnzipResult::Unpacked : UnzipResult::Failed;
}

} // namespace platform
