#include "Platform/Launchd/ConsoleUser.h"

#include "Platform/Files/AtomicFile.h"
#include "Platform/Files/FileRead.h"
#include "Platform/Launchd/JobRegistry.h"
#include "Platform/Root/PlatformRoot.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace platform {

namespace {

// Holds the console user's name; empty when nobody is logged in.
fs::path consoleUserFile()
{
    return launchd::launchdStateFolder() / "console-user";
}

} // namespace

std::optional<std::string> consoleUser()
{
    std::vector<std::uint8_t> bytes;
    if (!readWholeFile(consoleUserFile().string(), bytes))
        return userName();
    if (bytes.empty())
        return std::nullopt;
    return std::string(bytes.begin(), bytes.end());
}

void setConsoleUser(const std::optional<std::string>& user)
{
    std::error_code ignored;
    fs::create_directories(consoleUserFile().parent_path(), ignored);
    (void)writeFileAtomically(consoleUserFile().string(), user.value_or(""));
}

void resetConsoleUser()
{
    std::error_code ignored;
    fs::remove(consoleUserFile(), ignored);
}

} // namespace platform
