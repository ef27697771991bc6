#include "RaisedLaunchctl.h"

#include "Platform/Files/FileRead.h"
#include "Platform/Tools/ToolPaths.h"
#include "Platform/Values/PropertyList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>

namespace raised {

namespace {

constexpr off_t kLargestPlist = 1 << 20;

// The system job folders, as the last components of the folder's path.
const std::array<std::vector<std::string>, 3> systemJobFolders{{
    {"System", "Library", "LaunchDaemons"},
    {"System", "Library", "LaunchAgents"},
    {"Library", "LaunchDaemons"},
}};

std::string joined(std::vector<std::string>::const_iterator begin, std::vector<std::string>::const_iterator end)
{
    std::string path;
    for (auto part = begin; part != end; ++part)
        path += "/" + *part;
    return path.empty() ? "/" : path;
}

// The components of the platform root above the job folder; none when the folder is no job folder.
std::optional<std::size_t> rootLength(const std::vector<std::string>& folder)
{
    for (const auto& suffix : systemJobFolders)
        if (folder.size() >= suffix.size() && std::equal(suffix.begin(), suffix.end(), folder.end() - suffix.size()))
            return folder.size() - suffix.size();
    return std::nullopt;
}

std::string quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

std::variant<platform::Data, std::string> readFile(const platform::Descriptor& folder, const std::string& name,
                                                   const std::string& path)
{
    const platform::Descriptor file(::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file || ::fstat(file.get(), &info) != 0)
        return quoted(path) + ": " + std::generic_category().message(errno);
    if (!S_ISREG(info.st_mode) || info.st_uid != 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) || info.st_size > kLargestPlist)
        return quoted(path) + " is not a plist file of root's";
    platform::Data bytes;
    if (!platform::readOpenFile(file.get(), path, bytes, kLargestPlist))
        return quoted(path) + " could not be read";
    return bytes;
}

} // namespace

bool isRaised()
{
    return ::geteuid() == 0 && std::getenv("PKEXEC_UID");
}

std::variant<Plist, std::string> readPlist(const std::vector<std::string>& operands)
{
    if (operands.size() != 1)
        return "one plist is taken with an administrator's rights";
    const std::string& path = operands.front();
    const auto components = platform::pathComponents(path);
    if (components.empty() || !path.ends_with(".plist"))
        return quoted(path) + " is not an absolute path to a plist";
    const std::vector<std::string> folderParts(components.begin(), components.end() - 1);
    const auto root = rootLength(folderParts);
    const std::string folder = joined(folderParts.begin(), folderParts.end());
    if (!root)
        return quoted(path) + " is not in a LaunchDaemons or a system LaunchAgents folder";
    if (!platform::onlyRootCanChange(folder))
        return quoted(folder) + " is not a folder only root can change";
    std::error_code failure;
    Plist plist{path, joined(folderParts.begin(), folderParts.begin() + static_cast<std::ptrdiff_t>(*root)),
                components.back(), {}, {}, platform::openFolder(folderParts, failure)};
    if (!plist.folder)
        return quoted(folder) + ": " + failure.message();
    const auto bytes = readFile(plist.folder, plist.name, path);
    if (const auto* problem = std::get_if<std::string>(&bytes))
        return *problem;
    const auto value = platform::parsePropertyList(std::get<platform::Data>(bytes));
    const platform::Value* label = value ? value->find("Label") : nullptr;
    if (!value || !value->asDictionary() || !label || !label->asText())
        return quoted(path) + ": Invalid property list";
    plist.label = *label->asText();
    plist.dictionary = *value->asDictionary();
    return plist;
}

void enterRootOf(const Plist& plist)
{
    ::clearenv();
    ::setenv("PLATFORM_ROOT", plist.root.c_str(), 1);
    ::setenv("PATH", "/usr/bin:/bin", 1);
}

std::optional<std::string> refusedRegistry(const std::filesystem::path& folder)
{
    std::error_code ignored;
    auto existing = folder;
    while (existing.has_relative_path() && !std::filesystem::exists(std::filesystem::symlink_status(existing, ignored)))
        existing = existing.parent_path();
    if (platform::onlyRootCanChange(existing.string()))
        std::filesystem::create_directories(folder, ignored);
    if (!platform::onlyRootCanChange(folder.string()))
        return quoted(folder.string()) + " is not a folder only root can change";
    return std::nullopt;
}

std::error_code deletePlist(const Plist& plist)
{
    if (::unlinkat(plist.folder.get(), plist.name.c_str(), 0) != 0)
        return {errno, std::generic_category()};
    return {};
}

} // namespace raised
