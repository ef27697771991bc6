// The raised install tool: run through the elevation tool when the user's own rights
// cannot replace the application, it puts a downloaded release in place of it:
//   privileged-install <installed application> <release bundle>
// Its arguments come from a process the user runs, so they are checked as any other
// input: the application must be a bundle in a folder that only root can change, and
// the release is copied from the user's folder on descriptors (the walk of
// platform::replaceBundleWithRelease), so nothing the user swaps while the password is
// asked reaches the installed bundle. It writes nothing on its standard output and
// says why it failed in one line on its standard error. Exit status: 0 installed,
// 1 not installed, 2 the arguments make no request.
#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Sparkle/BundleReplacement.h"
#include "Platform/Sparkle/SUUpdater.h"
#include "Platform/Tools/ToolPaths.h"

#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The user who asked: pkexec names it; without it, the one running the tool.
std::optional<uid_t> callerUid()
{
    const char* named = std::getenv("PKEXEC_UID");
    if (!named)
        return ::getuid();
    const std::string_view text(named);
    unsigned long value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size() || value >= static_cast<uid_t>(-1))
        return std::nullopt;
    return static_cast<uid_t>(value);
}

// Why the arguments make no request; none when they make one.
std::optional<std::string> requestProblem(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2)
        return "usage: privileged-install <installed application> <release bundle>";
    const std::string& installed = arguments[0];
    if (platform::pathComponents(installed).empty() || !installed.ends_with(".app"))
        return "\u201c" + installed + "\u201d is not a plain absolute path of an application";
    if (platform::pathComponents(arguments[1]).empty())
        return "\u201c" + arguments[1] + "\u201d is not a plain absolute path";
    if (!platform::onlyRootCanChange(std::filesystem::path(installed).parent_path().string()))
        return "the folder of \u201c" + installed + "\u201d is not root\u2019s alone";
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto caller = callerUid();
    const auto problem = caller ? requestProblem(arguments) : std::optional<std::string>("PKEXEC_UID names no user");
    if (problem) {
        std::cerr << "privileged-install: " << *problem << std::endl;
        return 2;
    }
    const platform::ReleaseLimits limits{platform::SUUpdater::maximumUnpackedUpdateSize,
                                         platform::SUUpdater::maximumUpdateMembers};
    if (const auto failure = platform::replaceBundleWithRelease(arguments[0], arguments[1], *caller, limits)) {
        std::cerr << "privileged-install: " << *failure << std::endl;
        return 1;
    }
    return 0;
}
