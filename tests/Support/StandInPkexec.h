#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// A stand-in elevation tool named by $BG_TEST_ELEVATION_TOOL while it lives: it
// writes its arguments to a record, one a line, runs `meanwhile` (a shell command
// standing for what happens while the password is asked), and then runs its
// arguments as the command it was given, naming its caller's user id in PKEXEC_UID
// as pkexec does.
class StandInPkexec {
public:
    explicit StandInPkexec(const std::string& meanwhile = {})
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bg-pkexec-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const auto script = folder_ / "pkexec";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record().string() << "'\n"
                              << meanwhile << "\nPKEXEC_UID=$(id -u) exec \"$@\"\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const char* before = std::getenv("BG_TEST_ELEVATION_TOOL");
        toolBefore_ = before ? before : "";
        ::setenv("BG_TEST_ELEVATION_TOOL", script.c_str(), 1);
    }
    StandInPkexec(const StandInPkexec&) = delete;
    StandInPkexec& operator=(const StandInPkexec&) = delete;
    ~StandInPkexec()
    {
        if (toolBefore_.empty())
            ::unsetenv("BG_TEST_ELEVATION_TOOL");
        else
            ::setenv("BG_TEST_ELEVATION_TOOL", toolBefore_.c_str(), 1);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path path() const { return folder_ / "pkexec"; }

    // The command it was last asked to run; empty when it has not run.
    std::vector<std::string> recordedCommand() const
    {
        std::vector<std::string> arguments;
        std::ifstream file(record());
        for (std::string line; std::getline(file, line);)
            arguments.push_back(line);
        return arguments;
    }

private:
    std::filesystem::path record() const { return folder_ / "arguments"; }

    std::filesystem::path folder_;
    std::string toolBefore_;
};

} // namespace testsupport
