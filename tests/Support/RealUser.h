#pragma once

#include "Platform/Root/PlatformRoot.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// While it lives the calling thread is, to the kernel, a real user's that is not root
// (uid and gid 65534, no other groups; the other threads stay root's): what it opens,
// and every process it starts, gets a user's rights. The raw system calls change this
// thread alone and keep root as the saved user, to come back to. The login name and
// home stay the test's. isSet() is false where that cannot be had (not root).
class RealUserThread {
public:
    static constexpr uid_t kUser = 65534;

    RealUserThread()
    {
        const char* name = std::getenv("PLATFORM_USER");
        userBefore_ = name ? name : "";
        ::setenv("PLATFORM_USER", platform::userName().c_str(), 1);
        if (::geteuid() != 0)
            return;
        groups_.resize(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        groups_.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups_.size()), groups_.data()), 0)));
        set_ = ::syscall(SYS_setgroups, 0, nullptr) == 0 && ::syscall(SYS_setresgid, kUser, kUser, 0) == 0 &&
               ::syscall(SYS_setresuid, kUser, kUser, 0) == 0;
    }
    RealUserThread(const RealUserThread&) = delete;
    RealUserThread& operator=(const RealUserThread&) = delete;
    ~RealUserThread()
    {
        ::syscall(SYS_setresuid, 0, 0, 0);
        ::syscall(SYS_setresgid, 0, 0, 0);
        ::syscall(SYS_setgroups, groups_.size(), groups_.data());
        if (userBefore_.empty())
            ::unsetenv("PLATFORM_USER");
        else
            ::setenv("PLATFORM_USER", userBefore_.c_str(), 1);
    }

    bool isSet() const { return set_; }

    // Gives the user the folder and everything in it (as root, before the switch).
    static void giveToUser(const std::filesystem::path& folder)
    {
        ::lchown(folder.c_str(), kUser, kUser);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
            ::lchown(entry.path().c_str(), kUser, kUser);
    }

private:
    std::string userBefore_;
    std::vector<gid_t> groups_;
    bool set_ = false;
};

// A copy of the setuid stand-in for the elevation tool, root's, setuid, run by the
// test's user alone, in a folder of root's that others may enter, named by
// $BG_TEST_ELEVATION_TOOL while it lives.
class SetuidElevation {
public:
    SetuidElevation()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bg-elevation-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
        std::error_code error;
        std::filesystem::permissions(folder_, std::filesystem::perms(0755), error);
        std::filesystem::copy_file(BG_TEST_SETUID_ELEVATION, path(), error);
        // Only the test's user may run it: one left behind by a test that died grants no one else root.
        ::chown(path().c_str(), 0, RealUserThread::kUser);
        ::chmod(path().c_str(), 04750);
        ::setenv("BG_TEST_ELEVATION_TOOL", path().c_str(), 1);
    }
    SetuidElevation(const SetuidElevation&) = delete;
    SetuidElevation& operator=(const SetuidElevation&) = delete;
    ~SetuidElevation()
    {
        ::unsetenv("BG_TEST_ELEVATION_TOOL");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path path() const { return folder_ / "pkexec"; }

    // The command it was last asked to run; empty when it has not run.
    std::vector<std::string> recordedCommand() const
    {
        std::vector<std::string> arguments;
        std::ifstream file(folder_ / "arguments");
        for (std::string line; std::getline(file, line);)
            arguments.push_back(line);
        return arguments;
    }

    // Whether the calling thread's user really gets root's rights through it (not on a
    // file system mounted nosuid, nor under no_new_privs); it forgets the command then.
    bool raisesThisThread() const
    {
        const bool raised = std::system(("'" + path().string() + "' /bin/true").c_str()) == 0;
        forgetCommand();
        return raised;
    }

    void forgetCommand() const
    {
        std::error_code ignored;
        std::filesystem::remove(folder_ / "arguments", ignored);
    }

private:
    std::filesystem::path folder_;
};

} // namespace testsupport
