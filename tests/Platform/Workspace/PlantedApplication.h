#pragma once

#include "Platform/Tools/ToolProcess.h"
#include "Platform/Values/PropertyList.h"
#include "RootProcesses.h"

#include <signal.h>

#include <filesystem>
#include <optional>
#include <string>

namespace testsupport {

// An application bundle whose executable is a copy of sleep(1), so a test can run
// real copies of it. The Info.plist holds `info` plus the executable's name.
inline std::filesystem::path plantApplication(const std::filesystem::path& bundle, platform::Dictionary info)
{
    namespace fs = std::filesystem;
    const std::string name = bundle.stem().string();
    fs::create_directories(bundle / "Contents/MacOS");
    info["CFBundleExecutable"] = name;
    if (!platform::writePropertyListFile((bundle / "Contents/Info.plist").string(), info))
        return {};
    fs::copy_file("/bin/sleep", bundle / "Contents/MacOS" / name, fs::copy_options::overwrite_existing);
    return bundle;
}

// One running copy of a planted application, killed (if still running) and
// reaped when the object ends.
class RunningCopy {
public:
    explicit RunningCopy(const std::filesystem::path& bundle)
        : process_(platform::ToolProcess::launch((bundle / "Contents/MacOS" / bundle.stem()).string(), {"60"},
                                                 platform::ToolProcess::Capture::Nothing))
    {
        if (process_)
            waitForExec(process_->pid()); // listed among the running applications from here on
    }
    RunningCopy(const RunningCopy&) = delete;
    RunningCopy& operator=(const RunningCopy&) = delete;
    ~RunningCopy()
    {
        // A reaped copy has no pid any more (never signal -1: that is every process).
        if (process_ && process_->pid() > 0)
            ::kill(process_->pid(), SIGKILL);
    }

    bool started() const { return process_.has_value(); }
    pid_t pid() const { return process_ ? process_->pid() : -1; }
    // Waits for the copy to end: its exit code, or the signal that ended it.
    int waitForExit() { return process_->waitForExit(); }

private:
    std::optional<platform::ToolProcess> process_;
};

} // namespace testsupport
