#include "Platform/Tools/ZipExtraction.h"

#include "Platform/Tools/ToolPaths.h"

namespace platform {

namespace {

constexpr const char* sessionTool = "/usr/bin/setsid";

// setsid's arguments that run unzip with `arguments`.
std::vector<std::string> inOwnSession(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command{"--wait", resolveToolPath("/usr/bin/unzip")};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return command;
}

// What the members unpack to, counted as "unzip -p" writes them, up to one byte past
// the limit; a tool that fails gives Failed.
UnzipResult measure(const std::string& archive, const std::vector<std::string>& members, std::uint64_t sizeLimit)
{
    std::vector<std::string> arguments{"-p", "-qq", archive};
    arguments.insert(arguments.end(), members.begin(), members.end());
    auto process = launchUnzip(arguments, ToolProcess::Capture::Output);
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

std::optional<ToolProcess> launchUnzip(const std::vector<std::string>& arguments, ToolProcess::Capture capture)
{
    return ToolProcess::launch(sessionTool, inOwnSession(arguments), capture);
}

UnzipResult unzipWithinLimit(const std::string& archive, const std::vector<std::string>& members,
                             const std::string& folder, std::uint64_t sizeLimit)
{
    if (const UnzipResult measured = measure(archive, members, sizeLimit); measured != UnzipResult::Unpacked)
        return measured;
    // prlimit sets the file-size limit before unzip starts, so no byte past it is
    // written even to an archive changed since it was counted.
    std::vector<std::string> unpacking{"-o", "-q", archive};
    unpacking.insert(unpacking.end(), members.begin(), members.end());
    unpacking.insert(unpacking.end(), {"-d", folder});
    std::vector<std::string> arguments{"--fsize=" + std::to_string(sizeLimit), "--", sessionTool};
    const auto command = inOwnSession(unpacking);
    arguments.insert(arguments.end(), command.begin(), command.end());
    auto process = ToolProcess::launch("/usr/bin/prlimit", arguments, ToolProcess::Capture::Nothing);
    return process && process->waitForExit() == 0 ? UnzipResult::Unpacked : UnzipResult::Failed;
}

} // namespace platform
