#include "Foundation/UserPaths.h"

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

const std::string& supportFolderPath()
{
    static const std::string path = userPath(supportFolderTail);
    return path;
}

const std::string& databasePath()
{
    static const std::string path = supportFile("/BGX.db");
    return path;
}

const std::string& installedAgentPath()
{
    static const std::string path = supportFile("/ActiveGuardSentinelWarden.app");
    return path;
}

const std::string& trackingPlistPath()
{
    static const std::string path = supportFile("/track.plist");
    return path;
}

const std::string& legacyTrackingPlistPath()
{
    static const std::string path = userPath("/Library/Application Support/BGX/track.plist");
    return path;
}

const std::string& iniFilePath()
{
    static const std::string path = supportFile("/bgx.ini");
    return path;
}

const std::string& databaseZipPath()
{
    static const std::string path = supportFile("/dl/updateddatabase.zip");
    return path;
}

const std::string& downloadedDatabasePath()
{
    static const std::string path = supportFile("/dl/bgx.db");
    return path;
}
