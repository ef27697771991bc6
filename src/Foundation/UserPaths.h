#pragma once

#include <string>
#include <vector>

// "/Users/" + login name + tail, as a host path under the platform root; no
// separator is added between the login name and the tail.
std::string userPath(const std::string& tail);

// The folders the scan walks, as host paths: ~/Downloads, /Applications, ~/Desktop,
// ~/Documents, ~/Library/Application Support, ~/Library/Preferences.
std::vector<std::string> scanRootPaths();

// The product's per-user paths, each built once, at its first access.
const std::string& supportFolderPath();      // ~/Library/Application Support/Bastion Guardpoint
const std::string& databasePath();           // <support>/BGX.db
const std::string& installedAgentPath();     // <support>/ActiveGuardSentinelWarden.app
const std::string& trackingPlistPath();      // <support>/track.plist
const std::string& legacyTrackingPlistPath(); // ~/Library/Application Support/BGX/track.plist
const std::string& iniFilePath();            // <support>/bgx.ini
const std::string& databaseZipPath();        // <support>/dl/updateddatabase.zip
const std::string& downloadedDatabasePath(); // <support>/dl/bgx.db
