#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The status runTask gives for a tool that could not be started (missing or not
// executable), as a shell does.
inline constexpr std::int32_t toolNotStartedStatus = 127;

struct TaskResult {
    std::optional<std::string> output; // null when not UTF-8, or when the tool did not start
    std::int32_t status;               // exit code, or the number of the signal that ended it
};

// Runs the tool (macOS tool paths mapped to this system's) with standard output
// and standard error on one pipe, reads it to its end and waits for the exit.
// Blocks the caller.
TaskResult runTask(const std::string& launchPath, const std::vector<std::string>& arguments);

// Runs the tool with standard output on a pipe (standard error stays this
// process's) and returns its output once the tool closes it, without waiting
// for the exit status (the child is reaped in the background). Null when the
// output is not UTF-8 or the tool did not start.
std::optional<std::string> runTaskReturningOutput(const std::string& launchPath,
                                                  const std::vector<std::string>& arguments);

// "/usr/bin/unzip" "-o" <zip> "-d" <folder>: extracts, overwriting, with the
// tool's messages on this process's output; waits for it. True only when the
// tool ran and ended with status 0 (a damaged archive, such as one failing its
// CRC check, gives false, as does an encrypted member: the tool is never left to
// ask for a password).
[[nodiscard]] bool unzipFile(const std::string& atPath, const std::string& toDirectory);

// "/usr/bin/unzip" "-o" <zip> <member> "-d" <folder> writing no more than
// `sizeLimit` bytes, whatever the archive's headers list: extracts that member only;
// false, with nothing written, when it unpacks to more. True only when the tool ran
// and ended with status 0.
[[nodiscard]] bool unzipMember(const std::string& atPath, const std::string& member, const std::string& toDirectory,
                               std::uint64_t sizeLimit);
