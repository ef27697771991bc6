#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace testsupport {

// A stand-in "pkexec" first on $PATH while it lives: it writes its arguments to a
// record, one a line, and runs them as the command it was given.
class StandInPkexec {
public:
    StandInPkexec()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "bg-pkexec-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const auto script = folder_ / "pkexec";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record().string() << "'\nexec \"$@\"\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        pathBefore_ = path ? path : "";
        ::setenv("PATH", (folder_.string() + ":" + pathBefore_).c_str(), 1);
    }
    StandInPkexec(const StandInPkexec&) = delete;
    StandInPkexec& operator=(const StandInPkexec&) = delete;
    ~StandInPkexec()
    {
        ::setenv("PATH", pathBefore_.c_str(), 1);
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
    std::string pathBefore_;
};

} // namespace testsupport
