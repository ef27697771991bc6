#pragma once

#include <string>

// Resources of the main bundle, looked up once; empty text when the bundle lacks them.
const std::string& bundledDatabasePath(); // "BGX.db"
const std::string& bundledAgentPath();    // "ActiveGuardSentinelWarden.app"
