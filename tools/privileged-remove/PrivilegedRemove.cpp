#include "PrivilegedRemove.h"

#include "Platform/FileManager/FileManager.h"
#include "Platform/Files/FolderDescriptors.h"
#include "Platform/Files/TreeRemoval.h"

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>

namespace privileged {

namespace {

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

} // namespace

std::variant<Request, std::string> parseRequest(const std::vector<std::string>& arguments, const char* callerUid)
{
    Request request;
    if (arguments.size() == 2 && arguments[0] == "remove") {
        request.action = Request::Action::remove;
    } else if (arguments.size() == 4 && arguments[0] == "trash") {
        request.action = Request::Action::moveToTrash;
        request.trash = arguments[2];
        if (platform::pathComponents(request.trash).empty())
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
    if (platform::pathComponents(request.item).empty())
        return "the item \"" + request.item + "\" is not a plain absolute path";
    return request;
}

std::error_code perform(const Request& request)
{
    return request.action == Request::Action::moveToTrash
               ? platform::moveIntoTrash(request.item, request.trash, request.owner)
               : platform::removeForGood(request.item);
}

} // namespace privileged
