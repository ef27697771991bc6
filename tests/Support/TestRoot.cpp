#include "TestRoot.h"

#include "Platform/Root/PlatformRoot.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport {

const fs::path& platformRootFolder()
{
    static const fs::path root = [] {
        std::string pattern = (fs::temp_directory_path() / "bg-test-root-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        setenv("PLATFORM_ROOT", pattern.c_str(), 1);
        return fs::path(pattern);
    }();
    return root;
}

fs::path underRoot(const std::string& platformPath)
{
    platformRootFolder();
    return platform::hostPath(platformPath);
}

fs::path homeFolder()
{
    platformRootFolder();
    return platform::homeDirectory();
}

fs::path plantFile(const fs::path& path, const std::string& contents)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

std::string readFileText(const fs::path& path)
{
    std::ifstream input(path, std::ios::binary);
    std::stringstream contents;
    contents << input.rdbuf();
    return contents.str();
}

std::map<std::string, std::string> folderTree(const fs::path& folder)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        if (entry.is_symlink())
            tree[name] = "link " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            tree[name] = "folder";
        else
            tree[name] = "file " + readFileText(entry.path());
    }
    return tree;
}

void PlatformRootTest::SetUp()
{
    const auto& root = platformRootFolder();
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(root))
        fs::remove_all(entry.path(), ignored);
    const auto home = homeFolder();
    for (const char* folder : {"Downloads", "Desktop", "Documents", "Library/Application Support",
                               "Library/Preferences", "Library/LaunchAgents", ".Trash"})
        fs::create_directories(home / folder);
    for (const char* folder : {"/Applications", "/Library/LaunchAgents", "/Library/LaunchDaemons"})
        fs::create_directories(underRoot(folder));
}

} // namespace testsupport
