#include "StartupTestWorld.h"

#include "Platform/Values/PropertyList.h"
#include "Startup/LaunchOnStartup.h"

#include <gtest/gtest.h>

namespace startuptest {

std::filesystem::path plantBundle(const std::string& platformPath, const std::optional<std::string>& identifier)
{
    const auto bundle = testsupport::underRoot(platformPath);
    const std::string executable = bundle.stem().string();
    platform::Dictionary info{{"CFBundleExecutable", executable}};
    if (identifier)
        info["CFBundleIdentifier"] = *identifier;
    plantPlist(bundle / "Contents/Info.plist", info);
    testsupport::plantFile(bundle / "Contents/MacOS" / executable, "#!/bin/sh\n");
    return bundle;
}

std::filesystem::path plantPlist(const std::filesystem::path& path, const platform::Value& contents)
{
    std::filesystem::create_directories(path.parent_path());
    EXPECT_TRUE(platform::writePropertyListFile(path.string(), contents)) << path;
    return path;
}

void plantSessionItem(const std::string& name)
{
    const std::string path = "/Applications/" + name + ".app";
    plantBundle(path, "com.example." + name);
    setLaunchOnStartup(true, platform::FileURL::fromPath(host(path)));
}

std::string host(const std::string& platformPath)
{
    return testsupport::underRoot(platformPath).string();
}

} // namespace startuptest
