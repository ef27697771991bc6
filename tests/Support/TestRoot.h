#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace testsupport {

// The temporary platform root of this test process (made by the test main,
// removed when the process ends). PLATFORM_ROOT points at it.
const std::filesystem::path& platformRootFolder();

// The host path of a platform path inside the test root.
std::filesystem::path underRoot(const std::string& platformPath);

// The user's home inside the root: <root>/Users/<login name>.
std::filesystem::path homeFolder();

// Writes a file (making its folders) and returns its host path.
std::filesystem::path plantFile(const std::filesystem::path& path, const std::string& contents = "x");

// The whole contents of a file; empty when it cannot be read.
std::string readFileText(const std::filesystem::path& path);

// Every entry under a folder, links not followed, by relative path: "folder",
// "file " + contents or "link " + target. Two equal trees hold the same files.
std::map<std::string, std::string> folderTree(const std::filesystem::path& folder);

// Fixture: empties the platform root and makes the user's folders anew
// (Downloads, Desktop, Documents, Library/Application Support, Library/Preferences,
// Library/LaunchAgents, Applications, Library/LaunchAgents, Library/LaunchDaemons).
class PlatformRootTest : public ::testing::Test {
protected:
    void SetUp() override;
};

} // namespace testsupport
