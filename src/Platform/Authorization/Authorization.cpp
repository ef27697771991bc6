#include "Platform/Authorization/Authorization.h"

#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Tools/ToolPaths.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

extern char** environ;

namespace platform {

struct AuthorizationOpaqueRef {
    static constexpr std::uint32_t kAlive = 0x41555448;
    std::uint32_t magic = kAlive;
    std::vector<std::string> grantedRights;
};

namespace {

bool isValid(AuthorizationRef authorization)
{
    return authorization && authorization->magic == AuthorizationOpaqueRef::kAlive;
}

std::string promptOf(const AuthorizationEnvironment* environment)
{
    if (!environment)
        return {};
    for (const auto& item : *environment)
        if (item.name == kAuthorizationEnvironmentPrompt)
            return item.value;
    return {};
}

OSStatus statusOf(AuthorizationAnswer answer)
{
    switch (answer) {
    case AuthorizationAnswer::Grant:
        return errAuthorizationSuccess;
    case AuthorizationAnswer::Cancel:
        return errAuthorizationCanceled;
    case AuthorizationAnswer::Deny:
        break;
    }
    return errAuthorizationDenied;
}

// Grants the rights not yet held, asking the agent once for all of them.
OSStatus extendRights(AuthorizationOpaqueRef& authorization, const AuthorizationRights& rights,
                      const AuthorizationEnvironment* environment, AuthorizationFlags flags)
{
    AuthorizationRequest request{{}, promptOf(environment)};
    for (const auto& item : rights)
        if (std::ranges::find(authorization.grantedRights, item.name) == authorization.grantedRights.end())
            request.rights.push_back(item.name);
    if (request.rights.empty())
        return errAuthorizationSuccess;
    if (!(flags & kAuthorizationFlagExtendRights))
        return errAuthorizationDenied;
    if (!(flags & kAuthorizationFlagInteractionAllowed))
        return errAuthorizationInteractionNotAllowed;
    const OSStatus status = statusOf(AuthorizationAgent::ask(request));
    if (status == errAuthorizationSuccess)
        authorization.grantedRights.insert(authorization.grantedRights.end(), request.rights.begin(),
                                           request.rights.end());
    return status;
}

struct StatusMessage {
    OSStatus status;
    std::string_view message;
};

constexpr std::array statusMessages{
    StatusMessage{errAuthorizationSuccess, "No error."},
    StatusMessage{errAuthorizationInvalidSet, "The set of authorization rights is not valid."},
    StatusMessage{errAuthorizationInvalidRef, "The authorization reference is not valid."},
    StatusMessage{errAuthorizationDenied, "The authorization was refused."},
    StatusMessage{errAuthorizationCanceled, "The user canceled the authorization."},
    StatusMessage{errAuthorizationInteractionNotAllowed,
                  "The authorization needs the user, and interaction was not allowed."},
    StatusMessage{errAuthorizationInvalidFlags, "The authorization flags are not valid for this call."},
    StatusMessage{errAuthorizationToolExecuteFailure, "The tool could not be run."},
};

OSStatus executeWithPrivileges(AuthorizationRef authorization, const char* pathToTool, AuthorizationFlags options,
                               char* const* arguments, std::FILE** communicationsPipe)
{
    if (!isValid(authorization))
        return errAuthorizationInvalidRef;
    if (options != kAuthorizationFlagDefaults || !pathToTool)
        return errAuthorizationInvalidFlags;
    if (!AuthorizationHoldsRight(authorization))
        return errAuthorizationDenied;
    const std::string tool = resolveToolPath(pathToTool);
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (char* const* argument = arguments; argument && *argument; ++argument)
        argv.push_back(*argument);
    argv.push_back(nullptr);

    int output[2] = {-1, -1};
    if (communicationsPipe && ::pipe2(output, O_CLOEXEC) != 0)
        return errAuthorizationToolExecuteFailure;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (communicationsPipe)
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (communicationsPipe) {
        ::close(output[1]);
        *communicationsPipe = spawned == 0 ? ::fdopen(output[0], "r") : nullptr;
        if (spawned != 0)
            ::close(output[0]);
    }
    return spawned == 0 ? errAuthorizationSuccess : errAuthorizationToolExecuteFailure;
}

} // namespace

OSStatus AuthorizationCreate(const AuthorizationRights* rights, const AuthorizationEnvironment* environment,
                             AuthorizationFlags flags, AuthorizationRef* authorization)
{
    auto made = std::make_unique<AuthorizationOpaqueRef>();
    if (rights && !rights->empty()) {
        if (const OSStatus status = extendRights(*made, *rights, environment, flags); status != errAuthorizationSuccess)
            return status;
    }
    if (!authorization)
        return errAuthorizationSuccess;
    *authorization = made.release();
    return errAuthorizationSuccess;
}

OSStatus AuthorizationCopyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                                 const AuthorizationEnvironment* environment, AuthorizationFlags flags,
                                 AuthorizationRights* authorizedRights)
{
    if (!isValid(authorization))
        return errAuthorizationInvalidRef;
    if (!rights)
        return errAuthorizationInvalidSet;
    const OSStatus status = extendRights(*authorization, *rights, environment, flags);
    if (status == errAuthorizationSuccess && authorizedRights)
        *authorizedRights = *rights;
    return status;
}

OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags)
{
    if (!isValid(authorization))
        return errAuthorizationInvalidRef;
    authorization->magic = 0;
    delete authorization;
    return errAuthorizationSuccess;
}

bool AuthorizationHoldsRight(AuthorizationRef authorization, const std::string& right)
{
    if (!isValid(authorization))
        return false;
    const auto& granted = authorization->grantedRights;
    return right.empty() ? !granted.empty() : std::ranges::find(granted, right) != granted.end();
}

std::optional<std::string> SecCopyErrorMessageString(OSStatus status)
{
    for (const auto& entry : statusMessages)
        if (entry.status == status)
            return std::string(entry.message);
    return std::nullopt;
}

void* lookupSecurityFunction(const std::string& name)
{
    if (name == "AuthorizationExecuteWithPrivileges")
        return reinterpret_cast<void*>(&executeWithPrivileges);
    return nullptr;
}

} // namespace platform
