#include "Platform/LoginItems/AutostartEntry.h"

#include "Platform/Files/AtomicFile.h"
#include "Platform/Root/PlatformRoot.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr const char* entryName = "launchd-login.desktop";

fs::path linuxHome()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    const passwd* account = ::getpwuid(::getuid());
    return account && account->pw_dir ? fs::path(account->pw_dir) : fs::path("/");
}

fs::path configFolder()
{
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config == '/')
        return config;
    return linuxHome() / ".config";
}

// One argument of an Exec line: quoted, with the characters the quotes keep special
// escaped and "%" doubled (field codes start with it); then written as the entry's
// string value, which doubles each backslash. Null for a control character, which
// neither form carries.
std::optional<std::string> execArgument(const std::string& argument)
{
    if (std::ranges::any_of(argument, [](unsigned char character) { return character < 0x20 || character == 0x7f; }))
        return std::nullopt;
    std::string quoted = "\"";
    for (const char character : argument) {
        if (std::string_view("\"`$\\").find(character) != std::string_view::npos)
            quoted += '\\';
        else if (character == '%')
            quoted += '%';
        quoted += character;
    }
    quoted += '"';
    std::string value;
    for (const char character : quoted) {
        if (character == '\\')
            value += '\\';
        value += character;
    }
    return value;
}

std::optional<std::string> execLine(const std::vector<std::string>& arguments)
{
    std::string line;
    for (const auto& argument : arguments) {
        const auto quoted = execArgument(argument);
        if (!quoted)
            return std::nullopt;
        line += (line.empty() ? "" : " ") + *quoted;
    }
    return line;
}

// The command the session runs: the tool, in the platform root it was installed in.
std::vector<std::string> loginCommand(const fs::path& tool)
{
    if (platformRoot() == "/")
        return {tool.string()};
    std::vector<std::string> command{"/usr/bin/env", "PLATFORM_ROOT=" + platformRoot()};
    if (const char* user = std::getenv("PLATFORM_USER"); user && *user)
        command.push_back(std::string("PLATFORM_USER=") + user);
    command.push_back(tool.string());
    return command;
}

} // namespace

fs::path loginSessionEntryPath()
{
    return configFolder() / "autostart" / entryName;
}

bool writeLoginSessionEntry(const fs::path& tool)
{
    const auto exec = execLine(loginCommand(tool));
    if (!exec)
        return false;
    const std::string entry = "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Launch agents and login items\n"
                              "Comment=Starts the user's launch agents and opens the session login items\n"
                              "Exec=" + *exec + "\n"
                              "NoDisplay=true\n"
                              "X-GNOME-Autostart-enabled=true\n";
    const fs::path path = loginSessionEntryPath();
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    return writeFileAtomically(path.string(), entry);
}

} // namespace platform
