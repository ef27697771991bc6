#include "Foundation/HelperObjcPrivilegedRemove.h"

#include "Foundation/HelperObjc.h"

#include "Platform/Authorization/Authorization.h"
#include "Platform/Authorization/Elevation.h"
#include "Platform/Authorization/ProcessUser.h"
#include "Platform/FileManager/FileManager.h"
#include "Platform/Root/PathText.h"
#include "Platform/Tools/ToolPaths.h"

#include <QString>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

using platform::AuthorizationRef;

constexpr platform::AuthorizationFlags copyRightsFlags = platform::kAuthorizationFlagInteractionAllowed |
                                                         platform::kAuthorizationFlagExtendRights |
                                                         platform::kAuthorizationFlagPreAuthorize;

// The privileged tool is started through the shell, which first writes its own
// process id to the pipe and then becomes the tool: so the wait is for this tool
// alone, never for another child of the program.
constexpr const char* reportPidThenRunTool = "echo $$; exec \"$0\" \"$@\"";

// The privileged-execution entry point; the first successful look-up is kept.
platform::AuthorizationExecuteWithPrivilegesFunction executeWithPrivileges()
{
    static std::atomic<platform::AuthorizationExecuteWithPrivilegesFunction> cached{nullptr};
    if (auto function = cached.load())
        return function;
    auto found = reinterpret_cast<platform::AuthorizationExecuteWithPrivilegesFunction>(
        platform::lookupSecurityFunction("AuthorizationExecuteWithPrivileges"));
    if (found)
        cached = found;
    return found;
}

// An authorisation freed when it goes out of scope.
struct ScopedAuthorization {
    AuthorizationRef ref = nullptr;
    ~ScopedAuthorization()
    {
        if (ref)
            platform::AuthorizationFree(ref, platform::kAuthorizationFlagDefaults);
    }
};

// The build's privileged remover: "trash <path> <Trash> <user id>" or "remove <path>".
// It walks to the item's folder and to the Trash on descriptors, never through a
// link, so a folder swapped for one while the password is asked fails the step.
std::vector<std::string> toolCommand(const std::string& path, bool moveToTrash)
{
    const std::string tool = platform::resolveToolPath(platform::kPrivilegedRemoveTool);
    const std::string item = platform::withoutTrailingSlashes(path);
    if (!moveToTrash)
        return {tool, "remove", item};
    const std::string trash = platform::userTrashPath();
    std::error_code ignored;
    fs::create_directories(trash, ignored);
    return {tool, "trash", item, trash, std::to_string(::getuid())};
}

// The tool's command, through the elevation tool when the user's own rights cannot
// remove the item.
std::vector<std::string> removalCommand(const std::string& path, bool moveToTrash)
{
    auto command = toolCommand(path, moveToTrash);
    return platform::userMayRemove(path) ? command : platform::commandWithAdministratorRights(std::move(command));
}

// What the authorisation dialog says the program is about to do.
std::string removalPrompt(const std::string& path, bool moveToTrash)
{
    return (moveToTrash ? "Moving \u201c" + path + "\u201d to the Trash" : "Removing \u201c" + path + "\u201d for good") +
           " needs an administrator\u2019s rights.";
}

// Reads the process id that the shell wrote first; -1 when there is none.
pid_t readToolPid(std::FILE* pipe)
{
    char line[32] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    std::fclose(pipe);
    pid_t pid = -1;
    if (read)
        std::from_chars(line, line + sizeof line, pid);
    return pid > 0 ? pid : -1;
}

// Waits for the tool: true when it exited with status 0.
bool toolSucceeded(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool runPrivileged(AuthorizationRef authorization, const std::vector<std::string>& command)
{
    const auto execute = executeWithPrivileges();
    if (!execute)
        return false;
    std::vector<std::string> arguments{"-c", reportPidThenRunTool};
    arguments.insert(arguments.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::FILE* pipe = nullptr;
    if (execute(authorization, "/bin/sh", platform::kAuthorizationFlagDefaults, argv.data(), &pipe) !=
            platform::errAuthorizationSuccess ||
        !pipe)
        return false;
    const pid_t pid = readToolPid(pipe);
    return pid > 0 && toolSucceeded(pid);
}

bool isGone(const std::string& path)
{
    std::error_code ignored;
    return !fs::exists(fs::symlink_status(path, ignored));
}

} // namespace

bool isBlankPath(const std::string& path)
{
    return QString::fromUtf8(path).trimmed().isEmpty();
}

bool HelperObjc::AuthorizedRemove(const std::string& path, bool moveTo)
{
    if (isBlankPath(path) || !fs::path(path).is_absolute())
        return false;
    ScopedAuthorization authorization;
    if (platform::AuthorizationCreate(nullptr, nullptr, platform::kAuthorizationFlagDefaults, &authorization.ref) !=
        platform::errAuthorizationSuccess)
        return false;
    const platform::AuthorizationRights rights{{"system.privilege.admin", {}, 0}};
    const platform::AuthorizationEnvironment environment{
        {platform::kAuthorizationEnvironmentPrompt, removalPrompt(path, moveTo), 0}};
    if (platform::AuthorizationCopyRights(authorization.ref, &rights, &environment, copyRightsFlags, nullptr) !=
        platform::errAuthorizationSuccess)
        return false;
    return runPrivileged(authorization.ref, removalCommand(path, moveTo)) && isGone(path);
}
