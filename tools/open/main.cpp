// The stand-in "/usr/bin/open": opens ".app" bundles by path, running the bundle's
// executable detached unless it already runs (-F and -g are accepted: there is
// no saved window state and no activation here).
#include "Platform/Bundle/Bundle.h"
#include "Platform/Launchd/JobProcess.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> commandLineOf(const fs::path& process)
{
    std::ifstream file(process / "cmdline", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\0', start);
        arguments.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return arguments;
}

// A process runs the executable: as its image, or as the script an interpreter runs.
bool isRunning(const fs::path& executable)
{
    std::error_code error;
    for (fs::directory_iterator entry("/proc", error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::error_code ignored;
        if (fs::read_symlink(entry->path() / "exe", ignored) == executable)
            return true;
        const auto arguments = commandLineOf(entry->path());
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
