#include "Platform/Root/PlatformRoot.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace platform {

namespace {

// The root as a prefix of host paths: "" for "/".
std::string rootPrefix()
{
    std::string root = platformRoot();
    while (!root.empty() && root.back() == '/')
        root.pop_back();
    return root;
}

} // namespace

std::string platformRoot()
{
    const char* root = std::getenv("PLATFORM_ROOT");
    return root && *root ? std::string(root) : std::string("/");
}

std::string hostPath(std::string_view platformPath)
{
    if (platformPath.empty() || platformPath.front() != '/')
        return std::string(platformPath);
    return rootPrefix() + std::string(platformPath);
}

bool isUnderPlatformRoot(std::string_view path)
{
    const std::string root = rootPrefix();
    return root.empty() || (path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/'));
}

std::string userName()
{
    if (const char* user = std::getenv("PLATFORM_USER"); user && *user)
        return user;
    // getpwuid_r: threads building user paths at once must not share one result buffer.
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    while (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE && buffer.size() < (1u << 20))
        buffer.resize(buffer.size() * 2);
    return found ? std::string(found->pw_name) : std::string("user");
}

std::string homeDirectory()
{
    return hostPath("/Users/" + userName());
}

} // namespace platform
