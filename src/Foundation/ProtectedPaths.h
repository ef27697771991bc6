#pragma once

#include <string>

// Whether no record may have the path found, removed or deleted: a path that is
// not absolute or has a ".." component; one whose resolved form (links followed)
// lies outside the platform root or cannot be resolved; the file-system root, the
// platform root, a standard folder of the system or of the user, a scan root, the
// product's support folder, or a folder that holds one of them. The path is judged
// as written and with its links resolved, so a link is judged by where it leads.
bool isProtectedPath(const std::string& path);

// Whether a folder is the machine's or every user's rather than one user's, judged
// as written and with its links resolved: the file-system root, the platform root,
// "/Users", the home folder, a folder that holds one of them, a folder outside the
// platform root, or a path that is not absolute or cannot be resolved.
bool isMachineWideFolder(const std::string& path);
