#pragma once

#include "Platform/Authorization/AuthorizationAgent.h"
#include "Platform/Dispatch/Dispatch.h"
#include "Platform/Launchd/ServiceManagement.h"
#include "BackgroundWork.h"
#include "TestRoot.h"

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace testsupport {

// While it lives, the stand-in tools come from a copy of the build's inside the
// root whose launchd supervisor has lost its run bit (as a failed exec or a
// bundle mid-update leaves it).
class UnrunnableSupervisor {
public:
    UnrunnableSupervisor() : build_(std::getenv("BG_TOOLS_DIR")), folder_(underRoot("/private/tmp/broken-tools"))
    {
        namespace fs = std::filesystem;
        fs::create_directories(folder_);
        for (const char* tool : {"launchctl", "open", "system_profiler"})
            if (!fs::exists(fs::symlink_status(folder_ / tool)))
                fs::create_symlink(fs::path(build_) / tool, folder_ / tool);
        fs::copy_file(fs::path(build_) / "launchd-supervisor", tool(), fs::copy_options::overwrite_existing);
        fs::permissions(tool(), fs::perms::owner_read | fs::perms::owner_write);
        ::setenv("BG_TOOLS_DIR", folder_.c_str(), 1);
    }
    ~UnrunnableSupervisor() { ::setenv("BG_TOOLS_DIR", build_.c_str(), 1); }
    UnrunnableSupervisor(const UnrunnableSupervisor&) = delete;
    UnrunnableSupervisor& operator=(const UnrunnableSupervisor&) = delete;

    std::filesystem::path tool() const { return folder_ / "launchd-supervisor"; }

private:
    std::string build_;
    std::filesystem::path folder_;
};

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
        awaitBackgroundWork();
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
