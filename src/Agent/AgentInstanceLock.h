#pragma once

#include "Platform/Defaults/FileLock.h"

// One agent at a time per user: the agent holds an exclusive lock on a file of the
// support folder for as long as it runs (the system releases it when the process
// ends, however it ends). Tries once, without waiting: held() is false while
// another agent runs.
platform::FileLock takeAgentInstanceLock();
