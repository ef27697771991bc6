#pragma once

#include <string>

// Resources of the main bundle, looked up at each call in the main bundle as it is
// then (the process keeps no copy: a test that points the main bundle elsewhere
// leaves nothing behind); empty text when the bundle lacks them.
std::string bundledDatabasePath(); // "BGX.db"
std::string bundledAgentPath();    // "ActiveGuardSentinelWarden.app"
