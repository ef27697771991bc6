#pragma once

#include "Platform/LoginItems/SharedFileList.h"
#include "Platform/Values/Value.h"

#include <optional>
#include <string>

// One-call wrappers over three platform facilities: the user's launchd jobs,
// removal of a session login item, and removal of a path with an administrator's
// rights. No state beyond the cached privileged-execution entry point.
class HelperObjc {
public:
    // The dictionaries of every job of the user launchd domain (SMCopyAllJobDictionaries).
    static std::optional<platform::Array> getLoginItems();

    // Removes the last session login item whose path equals `path` (its resolved
    // URL's, else the "file://" URL its description ends with) and returns it.
    std::optional<platform::SharedFileListItem> itemRefInLoginItems(const std::string& path);

    // Moves `path` to the user's Trash or removes it for good with the build's
    // privileged remover, once the user has allowed it through the authorisation
    // prompt; where the user's own rights cannot remove it, the tool runs through the
    // elevation tool (an administrator's password). True when the tool succeeded and
    // the path is gone; a step redirected through a link fails. `failure` (when given)
    // receives why it failed, as a short text.
    static bool AuthorizedRemove(const std::string& path, bool moveTo, std::string* failure = nullptr);
};
