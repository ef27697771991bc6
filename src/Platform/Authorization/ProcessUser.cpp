#include "Platform/Authorization/ProcessUser.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

namespace platform {

namespace {

// Whether the bits of an item looked at as `info` let `user` write it.
bool bitsLetWrite(uid_t user, const struct stat& info)
{
    return user == 0 || (info.st_mode & (info.st_uid == user ? S_IWUSR : S_IWOTH)) != 0;
}

// The user the platform root plays, where it names one.
std::optional<uid_t> playedUserID()
{
    if (const char* text = std::getenv("PLATFORM_UID"); text && *text) {
        try {
            return static_cast<uid_t>(std::stoul(text));
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

// The played user, where it is not the real one: its rights are judged by the
// owner and mode bits, the real user's by the system's own check.
std::optional<uid_t> userJudgedByBits()
{
    const auto played = playedUserID();
    return played && *played != ::getuid() ? played : std::nullopt;
}

} // namespace

uid_t processUserID()
{
    return playedUserID().value_or(getuid());
}

bool userMayWrite(const std::string& path)
{
    if (path.empty())
        return false;
    const auto played = userJudgedByBits();
    if (!played)
        return ::access(path.c_str(), W_OK) == 0;
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && bitsLetWrite(*played, info);
}

bool userMayWriteOpened(int item)
{
    const auto played = userJudgedByBits();
    if (!played)
        return ::faccessat(item, "", W_OK, AT_EMPTY_PATH) == 0;
    struct stat info {};
    return ::fstat(item, &info) == 0 && bitsLetWrite(*played, info);
}

bool userMayRemove(const std::string& path)
{
    auto item = std::filesystem::path(path).lexically_normal();
    if (!item.has_filename()) // "/folder/"
        item = item.parent_path();
    std::error_code error;
    const bool isFolder = std::filesystem::is_directory(std::filesystem::symlink_status(item, error));
    return userMayWrite(item.parent_path().string()) && (!isFolder || userMayWrite(item.string()));
}

} // namespace platform
