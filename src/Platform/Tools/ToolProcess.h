#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One child process started from a tool path (mapped through resolveToolPath),
// with an argument list, standard input on /dev/null and, as asked, its standard
// output (and error) on a close-on-exec pipe. The object owns the child: it is
// reaped by waitForExit(), by reapInBackground(), or at the latest by the
// destructor, and only this child is ever waited for.
class ToolProcess {
public:
    enum class Capture { Nothing, Output, OutputAndError };

    // Null when the tool cannot be started (missing, not executable, no resources).
    [[nodiscard]] static std::optional<ToolProcess> launch(const std::string& toolPath,
                                                           const std::vector<std::string>& arguments,
                                                           Capture capture);

    ToolProcess(ToolProcess&& other) noexcept;
    ToolProcess& operator=(ToolProcess&& other) noexcept;
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;
    ~ToolProcess();

    pid_t pid() const { return pid_; }

    // Reads the captured pipe until the child closes it; empty when nothing is captured.
    std::string readOutputToEnd();

    // Hands the captured output to `take` as it arrives, until the child closes the
    // pipe or `take` answers false; the pipe is closed then, so a child that goes on
    // writing ends by SIGPIPE.
    void readOutput(const std::function<bool(std::string_view chunk)>& take);

    // Blocks until the child ends: its exit code, or the signal number that ended it.
    int waitForExit();

    // Leaves the wait to a background thread, so the child never stays a zombie
    // and the caller does not block.
    void reapInBackground();

private:
    ToolProcess(pid_t pid, int outputFd) : pid_(pid), outputFd_(outputFd) {}
    void closeOutput();

    pid_t pid_ = -1;
    int outputFd_ = -1;
};

} // namespace platform
