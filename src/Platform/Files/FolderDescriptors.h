#pragma once

#include <string>
#include <system_error>
#include <vector>

// Folders reached on descriptors: a path is opened from "/" one component at a
// time without following links, so a folder swapped for a link on the way fails
// instead of carrying the caller elsewhere.
namespace platform {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();

private:
    int fd_;
};

// The components of an absolute path without empty, "." or ".." components that
// names something below "/"; empty when the path is not one.
std::vector<std::string> pathComponents(const std::string& path);

// The folder made of `components`, opened from "/" one step at a time with
// O_NOFOLLOW | O_DIRECTORY: fails (ELOOP or ENOTDIR) at a link or a non-folder.
// The descriptor is an O_PATH one, good for the *at calls.
Descriptor openFolder(const std::vector<std::string>& components, std::error_code& error);

// The folder that holds the item at `path` (a path as pathComponents() takes it),
// opened as openFolder() does, and the item's name in it.
struct ItemPlace {
    Descriptor folder;
    std::string name;
};
ItemPlace openItemPlace(const std::string& path, std::error_code& error);

} // namespace platform
