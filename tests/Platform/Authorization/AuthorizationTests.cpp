#include "Platform/Authorization/Authorization.h"
#include "Platform/Authorization/AuthorizationAgent.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

using namespace platform;

namespace {

class Authorization : public ::testing::Test {
protected:
    void TearDown() override
    {
        AuthorizationAgent::reset();
        ::unsetenv("BG_AUTHORIZATION");
    }
    static constexpr AuthorizationFlags kAsk = kAuthorizationFlagInteractionAllowed | kAuthorizationFlagExtendRights;
    const AuthorizationRights rights{{"system.privilege.admin", "", 0}};
};

TEST_F(Authorization, PolicyDecidesTheStatus)
{
    struct Case {
        AuthorizationAnswer answer;
        OSStatus status;
    };
    for (const auto& test : {Case{AuthorizationAnswer::Grant, errAuthorizationSuccess},
                             Case{AuthorizationAnswer::Deny, errAuthorizationDenied},
                             Case{AuthorizationAnswer::Cancel, errAuthorizationCanceled}}) {
        AuthorizationAgent::setPolicy(test.answer);
        AuthorizationRef authorization = nullptr;
        EXPECT_EQ(AuthorizationCreate(&rights, nullptr, kAsk, &authorization), test.status);
        EXPECT_EQ(authorization != nullptr, test.status == errAuthorizationSuccess);
        EXPECT_EQ(AuthorizationHoldsRight(authorization, "system.privilege.admin"),
                  test.status == errAuthorizationSuccess);
        if (authorization) {
            EXPECT_EQ(AuthorizationFree(authorization, kAuthorizationFlagDestroyRights), errAuthorizationSuccess);
        }
    }
}

TEST_F(Authorization, PromptSeesRightsAndTextAndIsAskedOnlyForMissingRights)
{
    std::vector<AuthorizationRequest> requests;
    AuthorizationAgent::setPrompt([&](const AuthorizationRequest& request) {
        requests.push_back(request);
        return AuthorizationAnswer::Grant;
    });
    AuthorizationRef authorization = nullptr;
    ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, kAuthorizationFlagDefaults, &authorization), 0);
    EXPECT_TRUE(requests.empty());
    const AuthorizationEnvironment environment{{"prompt", "Removing needs your consent."}};
    ASSERT_EQ(AuthorizationCopyRights(authorization, &rights, &environment, kAsk, nullptr), 0);
    ASSERT_EQ(AuthorizationCopyRights(authorization, &rights, &environment, kAsk, nullptr), 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rights, std::vector<std::string>{"system.privilege.admin"});
    EXPECT_EQ(requests[0].prompt, "Removing needs your consent.");
    (void)AuthorizationFree(authorization, 0);
}

TEST_F(Authorization, EnvironmentDecidesWhenNothingIsInstalledAndDeniesByDefault)
{
    AuthorizationRef authorization = nullptr;
    EXPECT_EQ(AuthorizationCreate(&rights, nullptr, kAsk, &authorization), errAuthorizationDenied);
    ::setenv("BG_AUTHORIZATION", "cancel", 1);
    EXPECT_EQ(AuthorizationCreate(&rights, nullptr, kAsk, &authorization), errAuthorizationCanceled);
    ::setenv("BG_AUTHORIZATION", "grant", 1);
    EXPECT_EQ(AuthorizationCreate(&rights, nullptr, kAsk, &authorization), errAuthorizationSuccess);
    (void)AuthorizationFree(authorization, 0);
}

TEST_F(Authorization, WithoutInteractionRightsAreNotAsked)
{
    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    AuthorizationRef authorization = nullptr;
    EXPECT_EQ(AuthorizationCreate(&rights, nullptr, kAuthorizationFlagExtendRights, &authorization),
              errAuthorizationInteractionNotAllowed);
}

TEST_F(Authorization, ExecuteWithPrivilegesLooksUpByNameAndRunsTheTool)
{
    EXPECT_EQ(lookupSecurityFunction("NoSuchFunction"), nullptr);
    const auto execute =
        reinterpret_cast<AuthorizationExecuteWithPrivilegesFunction>(lookupSecurityFunction("AuthorizationExecuteWithPrivileges"));
    ASSERT_NE(execute, nullptr);

    AuthorizationRef unprivileged = nullptr;
    ASSERT_EQ(AuthorizationCreate(nullptr, nullptr, 0, &unprivileged), 0);
    char* none[] = {nullptr};
    EXPECT_EQ(execute(unprivileged, "/bin/sh", 0, none, nullptr), errAuthorizationDenied);

    AuthorizationAgent::setPolicy(AuthorizationAnswer::Grant);
    ASSERT_EQ(AuthorizationCopyRights(unprivileged, &rights, nullptr, kAsk, nullptr), 0);
    char dashC[] = "-c", script[] = "echo granted; exit 4";
    char* arguments[] = {dashC, script, nullptr};
    std::FILE* pipe = nullptr;
    ASSERT_EQ(execute(unprivileged, "/bin/sh", 0, arguments, &pipe), errAuthorizationSuccess);
    char line[32] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    EXPECT_STREQ(line, "granted\n");
    std::fclose(pipe);
    int status = 0;
    ASSERT_GT(::wait(&status), 0);
    EXPECT_EQ(WEXITSTATUS(status), 4);
    (void)AuthorizationFree(unprivileged, 0);
}

TEST_F(Authorization, MessagesOfKnownStatuses)
{
    EXPECT_TRUE(SecCopyErrorMessageString(errAuthorizationDenied));
    EXPECT_FALSE(SecCopyErrorMessageString(12345));
}

} // namespace
