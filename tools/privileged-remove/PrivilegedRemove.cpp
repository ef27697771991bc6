#include "PrivilegedRemove.h"

#include "Platform/FileManager/FileManager.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

namespace privileged {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

std::error_code errorOf(std::errc code)
{
    return std::make_error_code(code);
}

// A user id written as plain decimal digits.
std::optional<uid_t> parseUid(std::string_view text)
{
    unsigned long long value = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || failure != std::errc() || end != text.data() + text.size() ||
        value >= std::numeric_limits<uid_t>::max()) // (uid_t)-1 names nobody
        return std::nullopt;
    return static_cast<uid_t>(value);
}

// The item's folder, and the item's name in it.
std::pair<std::vector<std::string>, std::string> splitItem(const std::string& path)
{
    auto components = pathComponents(path);
    std::string name = components.back();
    components.pop_back();
    return {std::move(components), std::move(name)};
}

// The names in an open folder, "." and ".." left out.
std::error_code listFolder(int folder, std::vector<std::string>& names)
{
    const int listing = ::dup(folder);
    if (listing < 0)
        return lastError();
    DIR* stream = ::fdopendir(listing);
    if (!stream) {
        const auto error = lastError();
        ::close(listing);
        return error;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(stream)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
        errno = 0;
    }
    const auto error = errno ? lastError() : std::error_code();
    ::closedir(stream);
    return error;
}

// Removes the entry `name` of `folder`, and a folder's contents first, never leaving
// the file system `device` (none for the item itself).
std::error_code removeEntry(int folder, const std::string& name, std::optional<dev_t> device)
{
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return lastError();
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(folder, name.c_str(), 0) == 0 ? std::error_code() : lastError();
    if (device && info.st_dev != *device)
        return errorOf(std::errc::cross_device_link);
    const Descriptor inner(::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!inner)
        return lastError();
    struct stat opened {};
    if (::fstat(inner.get(), &opened) != 0)
        return lastError();
    if (opened.st_dev != info.st_dev || opened.st_ino != info.st_ino) // swapped since it was looked at
        return errorOf(std::errc::resource_unavailable_try_again);
    std::vector<std::string> names;
    if (const auto error = listFolder(inner.get(), names))
        return error;
    for (const auto& each : names) {
        if (const auto error = removeEntry(inner.get(), each, info.st_dev))
            return error;
    }
    return ::unlinkat(folder, name.c_str(), AT_REMOVEDIR) == 0 ? std::error_code() : lastError();
}

} // namespace

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

Descriptor::~Descriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

int Descriptor::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

std::vector<std::string> pathComponents(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return {};
    std::vector<std::string> components;
    std::string_view rest = std::string_view(path).substr(1);
    for (;;) {
        const auto end = rest.find('/');
        const std::string_view component = rest.substr(0, end);
        if (component.empty() || component == "." || component == "..")
            return {};
        components.emplace_back(component);
        if (end == std::string_view::npos)
            return components;
        rest = rest.substr(end + 1);
    }
}

std::variant<Request, std::string> parseRequest(const std::vector<std::string>& arguments, const char* callerUid)
{
    Request request;
    if (arguments.size() == 2 && arguments[0] == "remove") {
        request.action = Request::Action::remove;
    } else if (arguments.size() == 4 && arguments[0] == "trash") {
        request.action = Request::Action::moveToTrash;
        request.trash = arguments[2];
        if (pathComponents(request.trash).empty())
            return "the Trash \"" + request.trash + "\" is not a plain absolute path";
        const auto owner = parseUid(arguments[3]);
        if (!owner)
            return "\"" + arguments[3] + "\" is not a user id";
        if (callerUid && parseUid(callerUid) != owner)
            return "the Trash's owner is not the user who asked";
        request.owner = *owner;
    } else {
        return "usage: privileged-remove trash <item> <Trash folder> <owner uid> | remove <item>";
    }
    request.item = arguments[1];
    if (pathComponents(request.item).empty())
        return "the item \"" + request.item + "\" is not a plain absolute path";
    return request;
}

Descriptor openFolder(const std::vector<std::string>& components, std::error_code& error)
{
    Descriptor folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = lastError();
        return folder;
    }
    for (const auto& component : components) {
        Descriptor next(::openat(folder.get(), component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat info {};
        if (!next) {
            error = lastError();
            if (error == std::errc::not_a_directory && ::fstatat(folder.get(), component.c_str(), &info,
                                                                 AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
                error = errorOf(std::errc::too_many_symbolic_link_levels); // said as a link, not as a file
            return Descriptor();
        }
        if (::fstat(next.get(), &info) != 0) {
            error = lastError();
            return Descriptor();
        }
        if (!S_ISDIR(info.st_mode)) {
            error = errorOf(std::errc::not_a_directory);
            return Descriptor();
        }
        folder = std::move(next);
    }
    return folder;
}

std::error_code moveToTrash(const Request& request, std::string* trashedName)
{
    const auto [itemFolder, name] = splitItem(request.item);
    std::error_code error;
    const Descriptor parent = openFolder(itemFolder, error);
    if (!parent)
        return error;
    const Descriptor trash = openFolder(pathComponents(request.trash), error);
    if (!trash)
        return error;
    struct stat info {};
    if (::fstat(trash.get(), &info) != 0)
        return lastError();
    if (info.st_uid != request.owner)
        return errorOf(std::errc::operation_not_permitted);
    for (int attempt = 1; attempt < platform::kTrashNameAttempts; ++attempt) {
        const std::string candidate = platform::trashItemName(name, attempt);
        if (::renameat2(parent.get(), name.c_str(), trash.get(), candidate.c_str(), RENAME_NOREPLACE) == 0) {
            if (trashedName)
                *trashedName = candidate;
            return {};
        }
        if (errno != EEXIST && errno != ENOTEMPTY)
            return lastError();
    }
    return errorOf(std::errc::file_exists);
}

std::error_code removeForGood(const Request& request)
{
    const auto [itemFolder, name] = splitItem(request.item);
    std::error_code error;
    const Descriptor parent = openFolder(itemFolder, error);
    return parent ? removeEntry(parent.get(), name, std::nullopt) : error;
}

std::error_code perform(const Request& request)
{
    return request.action == Request::Action::moveToTrash ? moveToTrash(request) : removeForGood(request);
}

} // namespace privileged
