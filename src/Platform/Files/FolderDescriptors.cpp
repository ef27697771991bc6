#include "Platform/Files/FolderDescriptors.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace platform {

namespace {

std::error_code lastError()
{
    return {errno, std::generic_category()};
}

bool isLinkIn(int folder, const std::string& name)
{
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
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

Descriptor openFolder(const std::vector<std::string>& components, std::error_code& error)
{
    Descriptor folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = lastError();
        return folder;
    }
    for (const auto& component : components) {
        Descriptor next(::openat(folder.get(), component.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next) {
            error = lastError();
            if (error == std::errc::not_a_directory && isLinkIn(folder.get(), component))
                error = std::make_error_code(std::errc::too_many_symbolic_link_levels); // said as a link, not as a file
            return Descriptor();
        }
        folder = std::move(next);
    }
    return folder;
}

ItemPlace openItemPlace(const std::string& path, std::error_code& error)
{
    auto components = pathComponents(path);
    if (components.empty()) {
        error = std::make_error_code(std::errc::invalid_argument);
        return {Descriptor(), {}};
    }
    std::string name = std::move(components.back());
    components.pop_back();
    return {openFolder(components, error), std::move(name)};
}

} // namespace platform
