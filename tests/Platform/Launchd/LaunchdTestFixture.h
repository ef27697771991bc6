#pragma once

#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "TestRoot.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testsupport {

// A folder of stand-in tools like the build's, whose launchd supervisor has lost
// its run bit (as a failed exec or a bundle mid-update leaves it); inside the root.
inline std::filesystem::path toolsWithoutRunnableSupervisor()
{
    const std::filesystem::path build = std::getenv("BG_TOOLS_DIR");
    const std::filesystem::path tools = underRoot("/private/tmp/broken-tools");
    std::filesystem::create_directories(tools);
    for (const char* tool : {"launchctl", "open", "system_profiler"})
        if (!std::filesystem::exists(std::filesystem::symlink_status(tools / tool)))
            std::filesystem::create_symlink(build / tool, tools / tool);
    std::filesystem::copy_file(build / "launchd-supervisor", tools / "launchd-supervisor",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(tools / "launchd-supervisor", std::filesystem::perms::owner_read |
                                                                   std::filesystem::perms::owner_write);
    return tools;
}

// A fresh platform root whose stand-in launchd is emptied after each test: every
// job is removed (its process stopped), the authorisation agent reset.
class LaunchdTest : public PlatformRootTest {
protected:
    void SetUp() override
    {
        PlatformRootTest::SetUp();
        platform::AuthorizationAgent::reset();
        ::unsetenv("PLATFORM_UID");
    }

    void TearDown() override
    {
        ::setenv("PLATFORM_UID", "0", 1);
        for (const auto domain : {platform::LaunchdDomain::User, platform::LaunchdDomain::System})
            for (const auto& job : platform::SMCopyAllJobDictionaries(domain))
                if (const auto* label = job.find("Label"); label && label->asText())
                    (void)platform::SMJobRemove(domain, *label->asText(), nullptr, true, nullptr);
        ::unsetenv("PLATFORM_UID");
        platform::AuthorizationAgent::reset();
    }

    static void playUnprivilegedProcess() { ::setenv("PLATFORM_UID", "501", 1); }

    static bool processExists(long long pid) { return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0; }

    // The PID launchd reports for the job once it runs (a few seconds at most).
    static std::optional<long long> waitForPID(platform::LaunchdDomain domain, const std::string& label,
                                               long long other = 0)
    {
        std::optional<long long> pid;
        platform::dispatch::runMainLoopUntil(
            [&] {
                const auto job = platform::SMJobCopyDictionary(domain, label);
                const auto found = job ? job->find("PID") : platform::Dictionary::const_iterator{};
                if (job && found != job->end() && *found->second.asInteger() != other)
                    pid = *found->second.asInteger();
                return pid.has_value();
            },
            std::chrono::seconds(5));
        return pid;
    }

    static bool waitUntil(const std::function<bool()>& condition)
    {
        return platform::dispatch::runMainLoopUntil(condition, std::chrono::seconds(5));
    }
};

} // namespace testsupport
