#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class AuthorizationAnswer { Grant, Deny, Cancel };

// What the agent is asked: the rights wanted and the text to show.
struct AuthorizationRequest {
    std::vector<std::string> rights;
    std::string prompt;
};

using AuthorizationPrompt = std::function<AuthorizationAnswer(const AuthorizationRequest&)>;

// Answers the requests of Authorization Services: through the prompt the program
// installs (a dialog), else through the policy a test sets, else through the
// environment variable BG_AUTHORIZATION ("grant", "deny" or "cancel"; deny when
// unset). Asked from any thread; the prompt is called on the asking thread.
class AuthorizationAgent {
public:
    static void setPrompt(AuthorizationPrompt prompt);
    static void setPolicy(std::optional<AuthorizationAnswer> policy);
    static void reset(); // no prompt, no policy

    static AuthorizationAnswer ask(const AuthorizationRequest& request);
};

} // namespace platform
