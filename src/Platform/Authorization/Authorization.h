#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// Authorization Services as the programs call them. Rights are granted by the
// authorisation agent (AuthorizationAgent.h): a granted right means the user
// agreed. Tools run with the rights of the process; a caller whose step needs
// more puts the elevation tool in front of its command (Elevation.h).
namespace platform {

using OSStatus = std::int32_t;
using AuthorizationFlags = std::uint32_t;

inline constexpr OSStatus errAuthorizationSuccess = 0;
inline constexpr OSStatus errAuthorizationInvalidSet = -60001;
inline constexpr OSStatus errAuthorizationInvalidRef = -60002;
inline constexpr OSStatus errAuthorizationDenied = -60005;
inline constexpr OSStatus errAuthorizationCanceled = -60006;
inline constexpr OSStatus errAuthorizationInteractionNotAllowed = -60007;
inline constexpr OSStatus errAuthorizationInvalidFlags = -60011;
inline constexpr OSStatus errAuthorizationToolExecuteFailure = -60031;

inline constexpr AuthorizationFlags kAuthorizationFlagDefaults = 0;
inline constexpr AuthorizationFlags kAuthorizationFlagInteractionAllowed = 1;
inline constexpr AuthorizationFlags kAuthorizationFlagExtendRights = 2;
inline constexpr AuthorizationFlags kAuthorizationFlagPartialRights = 4;
inline constexpr AuthorizationFlags kAuthorizationFlagDestroyRights = 8;
inline constexpr AuthorizationFlags kAuthorizationFlagPreAuthorize = 16;

// The environment item that carries the text shown to the user.
inline constexpr const char* kAuthorizationEnvironmentPrompt = "prompt";

struct AuthorizationItem {
    std::string name;
    std::string value;
    std::uint32_t flags = 0;
};
using AuthorizationItemSet = std::vector<AuthorizationItem>;
using AuthorizationRights = AuthorizationItemSet;
using AuthorizationEnvironment = AuthorizationItemSet;

struct AuthorizationOpaqueRef;
using AuthorizationRef = AuthorizationOpaqueRef*;

// Makes an authorisation; with rights and kAuthorizationFlagExtendRights the
// agent is asked for them (kAuthorizationFlagInteractionAllowed must be set).
// The environment's "prompt" item is the text shown.
[[nodiscard]] OSStatus AuthorizationCreate(const AuthorizationRights* rights,
                                           const AuthorizationEnvironment* environment,
                                           AuthorizationFlags flags, AuthorizationRef* authorization);

// Extends an authorisation with rights (the agent is asked for those not held).
// The rights granted are copied to `authorizedRights` when given.
[[nodiscard]] OSStatus AuthorizationCopyRights(AuthorizationRef authorization, const AuthorizationRights* rights,
                                               const AuthorizationEnvironment* environment,
                                               AuthorizationFlags flags, AuthorizationRights* authorizedRights);

// Releases an authorisation; errAuthorizationInvalidRef for a null one.
OSStatus AuthorizationFree(AuthorizationRef authorization, AuthorizationFlags flags);

// True when the authorisation holds a granted right (any right when `right` is empty).
bool AuthorizationHoldsRight(AuthorizationRef authorization, const std::string& right = {});

// The message of a status of these services; null for a status they do not know.
std::optional<std::string> SecCopyErrorMessageString(OSStatus status);

// Runs a tool (its macOS path mapped through the tool table) as a child of this
// process, with the process's own rights; the caller waits for it. With a pipe,
// the tool's standard output is readable through it.
using AuthorizationExecuteWithPrivilegesFunction = OSStatus (*)(AuthorizationRef authorization,
                                                                const char* pathToTool,
                                                                AuthorizationFlags options,
                                                                char* const* arguments,
                                                                std::FILE** communicationsPipe);

// Looks an entry point of these services up by name, as the programs do for
// "AuthorizationExecuteWithPrivileges"; null for an unknown name.
void* lookupSecurityFunction(const std::string& name);

} // namespace platform
