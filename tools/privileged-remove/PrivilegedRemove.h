#pragma once

#include <sys/types.h>

#include <string>
#include <system_error>
#include <variant>
#include <vector>

// The steps of the privileged remover: it moves one item into the user's Trash, or
// removes it for good, acting only on folder descriptors opened from "/" one
// component at a time without following links. A path that passes through a link,
// or a Trash that is not a real folder of the user's, fails; nothing is written
// outside the Trash.
namespace privileged {

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

// What the tool is asked:
//   trash <item> <Trash folder> <the Trash's owner, a user id>
//   remove <item>
struct Request {
    enum class Action { moveToTrash, remove };
    Action action = Action::remove;
    std::string item;
    std::string trash;
    uid_t owner = 0;
};

// The request the arguments (without the program's name) make, or why they make
// none. Paths are absolute, without empty, "." or ".." components, and name
// something below "/". `callerUid` is the user who ran the elevation tool (its
// PKEXEC_UID), when there is one: the Trash's owner must then be that user.
std::variant<Request, std::string> parseRequest(const std::vector<std::string>& arguments,
                                                const char* callerUid = nullptr);

// The components of an absolute path as parseRequest accepts it; empty when it is not one.
std::vector<std::string> pathComponents(const std::string& path);

// The folder made of `components`, opened from "/" one step at a time with
// O_NOFOLLOW | O_DIRECTORY: fails (ELOOP or ENOTDIR) at a link or a non-folder.
// The descriptor is an O_PATH one, good for the *at calls.
Descriptor openFolder(const std::vector<std::string>& components, std::error_code& error);

// Moves the item into the Trash under its own name, or the first free name
// ("<stem> 2<extension>", ...), never replacing anything; `trashedName` receives
// the name it took.
std::error_code moveToTrash(const Request& request, std::string* trashedName = nullptr);

// Removes the item and, for a folder, everything in it; a link is removed, never
// followed, and a folder on another file system is not entered (EXDEV).
std::error_code removeForGood(const Request& request);

// Runs the request: moveToTrash or removeForGood.
std::error_code perform(const Request& request);

} // namespace privileged
