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
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

using platform::AuthorizationRef;

constexpr platform::AuthorizationFlags copyRightsFlags = platform::kAuthorizationFlagInteractionAllowed |
                                                         platform::kAuthorizationFlagExtendRights |
                                                         platform::kAuthorizationFlagPreAuthorize;

// The privileged tool is started through the shell, which first writes its own
// process id to the pipe and then becomes the tool: so the wait is for this tool
// alone, never for another child of the program. The tool's error line follows on
// the pipe.
constexpr const char* reportPidThenRunTool = "echo $$; exec \"$0\" \"$@\" 2>&1";

constexpr const char* rightsNotGiven = "an administrator\u2019s rights were not given";
constexpr const char* toolNotStarted = "the privileged remover could not be started";
constexpr const char* stillThere = "it is still there";

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

// What the tool said on the pipe after the shell's process id: its process id
// (-1 when there is none) and the reason of its error line. The pipe is read to its
// end, so that nothing the tool still writes costs it a SIGPIPE.
struct ToolReport {
    pid_t pid = -1;
    std::string reason;
};

ToolReport readToolReport(std::FILE* pipe)
{
    char line[512] = {};
    ToolReport report;
    if (std::fgets(line, sizeof line, pipe))
        std::from_chars(line, line + sizeof line, report.pid);
    std::string said;
    for (std::size_t count; (count = std::fread(line, 1, sizeof line, pipe)) > 0;)
        said.append(line, count);
    report.reason = platform::reasonOfToolOutput(std::move(said));
    std::fclose(pipe);
    report.pid = report.pid > 0 ? report.pid : -1;
    return report;
}

// Waits for the tool; its wait status (-1 when it cannot be waited for).
int toolStatus(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

// A refusal of the elevation tool, as the clean's kept reasons read: a phrase, "the
// administrator’s password was not given".
std::optional<std::string> elevationRefusal(const std::vector<std::string>& command, int status)
{
    auto refused = command.front() == platform::elevationToolPath() ? platform::elevationRefusalText(status)
                                                                    : std::nullopt;
    if (refused && refused->ends_with('.')) {
        refused->pop_back();
        refused->front() = static_cast<char>(std::tolower(static_cast<unsigned char>(refused->front())));
    }
    return refused;
}

bool fail(std::string* failure, std::string reason)
{
    if (failure)
        *failure = std::move(reason);
    return false;
}

bool runPrivileged(AuthorizationRef authorization, const std::vector<std::string>& command, std::string* failure)
{
    const auto execute = executeWithPrivileges();
    if (!execute)
        return fail(failure, toolNotStarted);
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
        return fail(failure, toolNotStarted);
    const ToolReport report = readToolReport(pipe);
    const int status = report.pid > 0 ? toolStatus(report.pid) : -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (auto refused = elevationRefusal(command, status))
        return fail(failure, std::move(*refused));
    return fail(failure, report.reason.empty() ? toolNotStarted : report.reason);
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

bool HelperObjc::AuthorizedRemove(const std::string& path, bool moveTo, std::string* failure)
{
    if (isBlankPath(path) || !fs::path(path).is_absolute())
        return fail(failure, std::error_code(EINVAL, std::generic_category()).message());
    ScopedAuthorization authorization;
    if (platform::AuthorizationCreate(nullptr, nullptr, platform::kAuthorizationFlagDefaults, &authorization.ref) !=
        platform::errAuthorizationSuccess)
        return fail(failure, rightsNotGiven);
    const platform::AuthorizationRights rights{{"system.privilege.admin", {}, 0}};
    const platform::AuthorizationEnvironment environment{
        {platform::kAuthorizationEnvironmentPrompt, removalPrompt(path, moveTo), 0}};
    if (platform::AuthorizationCopyRights(authorization.ref, &rights, &environment, copyRightsFlags, nullptr) !=
        platform::errAuthorizationSuccess)
        return fail(failure, rightsNotGiven);
    if (!runPrivileged(authorization.ref, removalCommand(path, moveTo), failure))
        return false;
    return isGone(path) || fail(failure, stillThere);
}
