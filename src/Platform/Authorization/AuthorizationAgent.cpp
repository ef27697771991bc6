#include "Platform/Authorization/AuthorizationAgent.h"

#include <cstdlib>
#include <mutex>
#include <string_view>

namespace platform {

namespace {

struct AgentState {
    std::mutex mutex;
    AuthorizationPrompt prompt;
    std::optional<AuthorizationAnswer> policy;
};

AgentState& state()
{
    static AgentState agent;
    return agent;
}

AuthorizationAnswer answerFromEnvironment()
{
    const char* text = std::getenv("BG_AUTHORIZATION");
    const std::string_view answer = text ? text : "";
    if (answer == "grant")
        return AuthorizationAnswer::Grant;
    if (answer == "cancel")
        return AuthorizationAnswer::Cancel;
    return AuthorizationAnswer::Deny;
}

} // namespace

void AuthorizationAgent::setPrompt(AuthorizationPrompt prompt)
{
    std::lock_guard lock(state().mutex);
    state().prompt = std::move(prompt);
}

void AuthorizationAgent::setPolicy(std::optional<AuthorizationAnswer> policy)
{
    std::lock_guard lock(state().mutex);
    state().policy = policy;
}

void AuthorizationAgent::reset()
{
    std::lock_guard lock(state().mutex);
    state().prompt = nullptr;
    state().policy.reset();
}

AuthorizationAnswer AuthorizationAgent::ask(const AuthorizationRequest& request)
{
    AuthorizationPrompt prompt;
    {
        std::lock_guard lock(state().mutex);
        if (!state().prompt && state().policy)
            return *state().policy;
        prompt = state().prompt;
    }
    return prompt ? prompt(request) : answerFromEnvironment();
}

} // namespace platform
