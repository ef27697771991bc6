#pragma once

#include "QtBenchMain.h"

#include "Foundation/UserPaths.h"
#include "Platform/Root/PlatformRoot.h"

#include <filesystem>

// The agent's world in the bench root: the user's watched folders (and a
// "Partial" folder to stage files in), the launchd folders and the shipped
// signature database installed.
inline void prepareAgentRoot()
{
    namespace fs = std::filesystem;
    const fs::path home = platform::homeDirectory();
    for (const char* folder : {"Downloads", "Desktop", "Documents", "Partial", "Library/Preferences",
                               "Library/LaunchAgents", "Library/Logs/DiagnosticReports"})
        fs::create_directories(home / folder);
    for (const char* folder : {"/Applications", "/Library/LaunchAgents", "/Library/LaunchDaemons"})
        fs::create_directories(platform::hostPath(folder));
    fs::create_directories(fs::path(databasePath()).parent_path());
    fs::copy_file(fs::path(BG_APP_BUNDLE) / "Contents/Resources/BGX.db", databasePath(),
                  fs::copy_options::overwrite_existing);
}
