#include "Platform/LoginItems/AutostartEntry.h"

#include "Platform/Files/AtomicFile.h"
#include "Platform/Root/PlatformRoot.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/Utf8.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <system_error>
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

// The text as the entry's string value: each backslash doubled. Null for a control
// character, which an entry's line cannot carry, or a text that is not UTF-8.
std::optional<std::string> stringValue(const std::string& text)
{
    if (!isUtf8(text) ||
        std::ranges::any_of(text, [](unsigned char character) { return character < 0x20 || character == 0x7f; }))
        return std::nullopt;
    std::string value;
    for (const char character : text) {
        if (character == '\\')
            value += '\\';
        value += character;
    }
    return value;
}

// One argument of an Exec line: quoted, with the characters the quotes keep special
// escaped and "%" doubled (field codes start with it); then written as the entry's
// string value.
std::optional<std::string> execArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char character : argument) {
        if (std::string_view("\"`$\\").find(character) != std::string_view::npos)
            quoted += '\\';
        else if (character == '%')
            quoted += '%';
        quoted += character;
    }
    quoted += '"';
    return stringValue(quoted);
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

// The keys through which a desktop's own settings switch an autostart entry off,
// each with the value that does: Hidden (KDE, Xfce, LXQt and the freedesktop
// Autostart rules themselves), and the switches of GNOME (and Cinnamon) and of MATE.
struct OffSwitch {
    std::string_view key;
    std::string_view off;
};
constexpr OffSwitch offSwitches[] = {
    {"Hidden", "true"}, {"X-GNOME-Autostart-enabled", "false"}, {"X-MATE-Autostart-enabled", "false"}};

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    return first == std::string_view::npos ? std::string_view() : text.substr(first, last - first + 1);
}

// The lines of the entry at `path` that switch it off, as its desktop wrote them.
std::vector<std::string> offSwitchLines(const fs::path& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    bool inMainGroup = false;
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("["))
            inMainGroup = trimmed(line) == "[Desktop Entry]";
        const auto equals = line.find('=');
        if (!inMainGroup || equals == std::string::npos)
            continue;
        const std::string_view key = trimmed(std::string_view(line).substr(0, equals));
        const std::string_view value = trimmed(std::string_view(line).substr(equals + 1));
        for (const auto& offSwitch : offSwitches)
            if (key == offSwitch.key && value == offSwitch.off)
                lines.push_back(std::string(key) + "=" + std::string(value));
    }
    return lines;
}

std::string entryText(const std::string& exec, const std::string& tryExec, const std::vector<std::string>& offLines)
{
    std::string entry = "[Desktop Entry]\n"
                        "Type=Application\n"
                        "Name=Launch agents and login items\n"
                        "Comment=Starts the user's launch agents and opens the session login items\n"
                        "TryExec=" + tryExec + "\n"
                        "Exec=" + exec + "\n"
                        "NoDisplay=true\n";
    if (std::ranges::none_of(offLines, [](const auto& line) { return line.starts_with("X-GNOME-Autostart-enabled="); }))
        entry += "X-GNOME-Autostart-enabled=true\n";
    for (const auto& line : offLines)
        entry += line + "\n";
    return entry;
}

bool failed(std::string* failure, const std::string& reason)
{
    if (failure)
        *failure = reason;
    return false;
}

} // namespace

fs::path loginSessionEntryPath()
{
    return configFolder() / "autostart" / entryName;
}

bool writeLoginSessionEntry(const fs::path& tool, std::string* failure)
{
    if (!onlyRootAndUserCanChange(tool.string(), ::geteuid()))
        return failed(failure, "\"" + tool.string() + "\" is missing or in a folder another user can change");
    const auto exec = execLine(loginCommand(tool));
    const auto tryExec = stringValue(tool.string());
    if (!exec || !tryExec)
        return failed(failure, "an entry cannot name \"" + tool.string() + "\"");
    const fs::path path = loginSessionEntryPath();
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    if (error)
        return failed(failure, path.parent_path().string() + ": " + error.message());
    if (!writeFileAtomically(path.string(), entryText(*exec, *tryExec, offSwitchLines(path))))
        return failed(failure, path.string() + ": " + std::generic_category().message(errno));
    return true;
}

} // namespace platform
