#pragma once

#include "Platform/Workspace/RunningApplication.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

// NSWorkspace.sharedWorkspace, for what the programs ask of it.
class Workspace {
public:
    static Workspace& shared();

    // runningApplications: this user's applications, oldest first. Only bundles inside
    // the platform root count: another root stands for another machine. A process
    // counts when it runs its bundle's own executable, not a tool beside it.
    std::vector<RunningApplication> runningApplications() const;

    // isFilePackageAtPath: a folder that the user sees as one item (an ".app",
    // ".bundle", ".framework", ... folder).
    bool isFilePackage(const std::string& path) const;

    // URLForApplicationWithBundleIdentifier: where the application last ran from
    // (registerApplication), while it is still there; else the first bundle with
    // that identifier in "/Applications", then in the user's "~/Applications", each
    // looked through level by level down to three levels of subfolders; null when none has it.
    std::optional<std::string> urlForApplication(const std::string& bundleIdentifier) const;

    // launchAppWithBundleIdentifier / openFile: started through the "open" tool,
    // without waiting for the application; false when there is no such application
    // or the tool could not be started.
    bool launchApplication(const std::string& bundleIdentifier) const;
    bool openFile(const std::string& path) const;

    // openURL: handed to the desktop's opener (xdg-open).
    bool openURL(const std::string& url) const;

    // iconForFile: the image file that shows the item – a bundle's icon resource
    // (CFBundleIconFile in Contents/Resources) when it has one, else the item itself.
    std::string iconForFile(const std::string& path) const;
};

} // namespace platform
