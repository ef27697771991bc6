#include "Foundation/UserPaths.h"

#include "Foundation/ProcessWideValue.h"
#include "Platform/Root/PlatformRoot.h"

namespace {

constexpr const char* supportFolderTail = "/Library/Application Support/Bastion Guardpoint";

// A file of the support folder; `name` starts with its separator.
std::string supportFile(const char* name)
{
    return userPath(std::string(supportFolderTail) + name);
}

} // namespace

std::string userPath(const std::string& tail)
{
    return platform::hostPath("/Users/" + platform::userName() + tail);
}

std::vector<std::string> scanRootPaths()
{
    return {userPath("/Downloads"),
            platform::hostPath("/Applications"),
            userPath("/Desktop"),
            userPath("/Documents"),
            userPath("/Library/Application Support"),
            userPath("/Library/Preferences")};
}

const std::string& supportFolderPath()
{
    return processWideValue([] { return userPath(supportFolderTail); });
}

const std::string& databasePath()
{
    return processWideValue([] { return supportFile("/BGX.db"); });
}

const std::string& installedAgentPath()
{
    return processWideValue([] { return supportFile("/ActiveGuardSentinelWarden.app"); });
}

const std::string& trackingPlistPath()
{
    return processWideValue([] { return supportFile("/track.plist"); });
}

const std::string& legacyTrackingPlistPath()
{
    return processWideValue([] { return userPath("/Library/Application Support/BGX/track.plist"); });
}

const std::string& iniFilePath()
{
    return processWideValue([] { return supportFile("/bgx.ini"); });
}

const std::string& databaseZipPath()
{
    return processWideValue([] { return supportFile("/dl/updateddatabase.zip"); });
}

const std::string& downloadedDatabasePath()
{
    return processWideValue([] { return supportFile("/dl/bgx.db"); });
}
