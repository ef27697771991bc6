#include "Helper/LDLaunchCtl/LDAuthorizer.h"

#include "Platform/Authorization/ProcessUser.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

using namespace platform;

AuthorizationFlags LDAuthorizer::defaultFlags()
{
    return kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights | kAuthorizationFlagPreAuthorize;
}

OSStatus LDAuthorizer::authorizeSystemDaemonWithLabel(const std::string& label, const std::string& prompt,
                                                      AuthorizationRef* authRef)
{
    const std::string right = processUserID() == 0 ? "com.apple.ServiceManagement.daemons.modify" : label;
    const std::string shown =
        prompt.empty() ? LDProcessName() + " is trying to perform a privileged operation." : prompt;
    return authorizePrompt(shown, AuthorizationItem{right, {}, 0}, authRef);
}

OSStatus LDAuthorizer::authorizeSMJobBlessWithPrompt(const std::string& prompt, AuthorizationRef* authRef)
{
    return authorizePrompt(prompt, AuthorizationItem{"com.apple.ServiceManagement.blesshelper", {}, 0}, authRef);
}

OSStatus LDAuthorizer::authorizePrompt(const std::string& prompt, AuthorizationItem authItems,
                                       AuthorizationRef* authRef)
{
    const AuthorizationRights rights{std::move(authItems)};
    AuthorizationEnvironment environment;
    if (!prompt.empty())
        environment.push_back({kAuthorizationEnvironmentPrompt, prompt, 0});
    return AuthorizationCreate(&rights, &environment, defaultFlags(), authRef);
}

void LDAuthorizer::authorizationFree(AuthorizationRef authRef)
{
    if (!authRef)
        return;
    const OSStatus junk = AuthorizationFree(authRef, kAuthorizationFlagDestroyRights);
    if (junk != errAuthorizationSuccess) {
        std::fprintf(stderr, "Assertion failed: junk == errAuthorizationSuccess\n");
        std::abort();
    }
}

std::string LDProcessName()
{
    return program_invocation_short_name;
}
