// The stand-in "/usr/bin/open": opens ".app" bundles by path, running the bundle's
// executable detached unless it already runs (-F and -g are accepted: there is
// no saved window state and no activation here).
#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/JobProcess.h"
#include "Platform/Workspace/ProcessList.h"

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A process runs the executable: as its image, or as the script an interpreter
// runs. A process that ends meanwhile is passed over.
bool isRunning(const fs::path& executable)
{
    for (const pid_t pid : platform::listedProcesses()) {
        if (platform::processExecutable(pid) == executable.string())
            return true;
        const auto arguments = platform::processCommandLine(pid).value_or(std::vector<std::string>{});
        for (std::size_t index = 0; index < arguments.size() && index < 2; ++index)
            if (arguments[index] == executable.string())
                return true;
    }
    return false;
}

bool open(const std::string& path)
{
    const fs::path executable = path.ends_with(".app") || path.ends_with(".app/")
                                    ? fs::path(platform::Bundle(path).executablePath())
                                    : fs::path();
    std::error_code error;
    if (executable.empty() || !fs::is_regular_file(executable, error)) {
        std::cerr << "The application at \"" << path << "\" cannot be opened.\n";
        return false;
    }
    const fs::path canonical = fs::weakly_canonical(executable, error);
    if (isRunning(canonical))
        return true;
    return platform::launchd::spawnDetached(canonical.string(), {canonical.string()}) > 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> paths;
    for (int index = 1; index < argc; ++index) {
        const std::string argument = argv[index];
        if (argument == "-F" || argument == "-g")
            continue;
        if (argument.starts_with("-")) {
            std::cerr << "open: unsupported option " << argument << '\n';
            return 1;
        }
        paths.push_back(argument);
    }
    if (paths.empty()) {
        std::cerr << "usage: open [-F] [-g] <application.app>...\n";
        return 1;
    }
    bool opened = true;
    for (const auto& path : paths)
        opened = open(path) && opened;
    return opened ? 0 : 1;
}
