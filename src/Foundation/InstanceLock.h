#pragma once

#include "Platform/Defaults/FileLock.h"

#include <string>

// One program of each kind at a time per user: a program holds an exclusive lock on
// a file of the support folder for as long as it runs (the system releases it when
// the process ends, however it ends). Each tries once, without waiting: held() is
// false while another copy of the program runs.
platform::FileLock takeAgentInstanceLock();
platform::FileLock takeApplicationInstanceLock();

// The file the application's lock is held on: free once no application runs.
std::string applicationInstanceLockPath();
