#pragma once

#include "Platform/Authorization/Authorization.h"

#include <string>

// Obtains the authorisations of the launchd job library. Every result is a status, 0 = success.
class LDAuthorizer {
public:
    // Interaction allowed, extend rights, pre-authorise.
    static platform::AuthorizationFlags defaultFlags();

    // The right to change system daemons (as root) or the label itself; an empty
    // prompt becomes "<process> is trying to perform a privileged operation.".
    static platform::OSStatus authorizeSystemDaemonWithLabel(const std::string& label, const std::string& prompt,
                                                             platform::AuthorizationRef* authRef);
    static platform::OSStatus authorizeSMJobBlessWithPrompt(const std::string& prompt,
                                                            platform::AuthorizationRef* authRef);
    static platform::OSStatus authorizePrompt(const std::string& prompt, platform::AuthorizationItem authItems,
                                              platform::AuthorizationRef* authRef);
    // Frees a present authorisation with its rights; a failing free stops the process.
    static void authorizationFree(platform::AuthorizationRef authRef);
};

// The name of the running process.
std::string LDProcessName();
