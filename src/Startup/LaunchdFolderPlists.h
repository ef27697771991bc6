#pragma once

#include "Helper/LDLaunchCtl/LDLaunchCtl.h"

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The plists of one launchd folder, each read once: the jobs they hold and, for
// a label, the first file (in name order) whose "Label" it is.
class LaunchdFolderPlists {
public:
    // Reads the folder of the domain (the user's launch agents for none).
    explicit LaunchdFolderPlists(LDLaunchDomain domain);

    const std::vector<LDJobFile>& files() const { return files_; }
    const std::string& folder() const { return folder_; }
    // Why the folder could not be listed; empty when it could.
    const std::error_code& listingError() const { return listingError_; }

    // (file name, full path) of the first file carrying the label; both empty
    // when none does or there is no label.
    std::pair<std::string, std::string> plistCarrying(const std::optional<std::string>& label) const;

private:
    std::string folder_;
    std::error_code listingError_;
    std::vector<LDJobFile> files_;
    std::unordered_map<std::string, const LDJobFile*> firstWithLabel_;
};
