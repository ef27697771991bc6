#pragma once

#include <string>

// Whether the clean must leave the path alone whatever the database says: a path
// that is not absolute, the file-system or platform root, the user's home folder,
// a scan root or a folder that holds one (compared as written and with links resolved).
bool isProtectedFromClean(const std::string& path);
