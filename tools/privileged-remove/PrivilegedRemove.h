#pragma once

#include <sys/types.h>

#include <string>
#include <system_error>
#include <variant>
#include <vector>

// The privileged remover's requests: it moves one item into the user's Trash, or
// removes it for good, with the walks that every removal of the programs uses
// (platform::moveIntoTrash, platform::removeForGood): on folder descriptors opened
// from "/" one component at a time without following links. A path that passes
// through a link, or a Trash that is not a real folder of the user's, fails; nothing
// is written outside the Trash.
namespace privileged {

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

// Runs the request: platform::moveIntoTrash() into the Trash of the request's owner,
// or platform::removeForGood().
std::error_code perform(const Request& request);

} // namespace privileged
