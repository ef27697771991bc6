#pragma once

#include "Platform/Authorization/AuthorizationAgent.h"

// Installs the program's authorisation prompt: every request of Authorization
// Services shows the authorisation dialog, modal, on the main thread (a request
// from another thread waits there for the answer). Allow grants; Cancel cancels.
// Called once at start-up, after the application object exists.
void installAuthorizationPrompt();

// The prompt itself: asks the user with the dialog named after the application.
platform::AuthorizationAnswer askWithAuthorizationDialog(const platform::AuthorizationRequest& request);
