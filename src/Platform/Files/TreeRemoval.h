#pragma once

#include <string>
#include <system_error>

// Removal of an item for good, a folder with everything in it, on descriptors: the
// same walk serves the privileged remover and removals with the user's own rights.
// Links are removed, never followed; the walk is iterative and holds a few
// descriptors whatever the depth (it climbs back by "..", checked against the folder
// it came from); an entry that vanishes meanwhile counts as removed; a folder that
// names arrive in while it is emptied is listed again, a bounded number of times,
// before it fails "not empty"; it never enters another file system, and an item
// that is a mount point is refused.
namespace platform {

// Why a walk stopped, besides what the system calls report.
enum class TreeRemovalError {
    mountPoint = 1,   // the item, or a folder in it, is where another file system is mounted
    movedDuringWalk, // a folder was moved away while it was walked
};
const std::error_category& treeRemovalCategory();
std::error_code make_error_code(TreeRemovalError error);

// Removes the entry `name` of the open folder `folder`.
std::error_code removeTree(int folder, const std::string& name);

// Removes the item at `path`, reached as openItemPlace() reaches it: a path
// through a link fails (ELOOP), a missing item fails (ENOENT).
std::error_code removeForGood(const std::string& path);

} // namespace platform

template <>
struct std::is_error_code_enum<platform::TreeRemovalError> : std::true_type {};
