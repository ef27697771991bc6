// launchd-supervisor <registry folder> <label> <generation>: runs one loaded job
// of the stand-in launchd (started by the job's submission).
#include "Platform/Launchd/Supervisor.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: launchd-supervisor <registry folder> <label> <generation>\n";
        return 64;
    }
    using platform::launchd::JobRegistry;
    return platform::launchd::superviseJob(JobRegistry(argv[1]), argv[2], argv[3]);
}
