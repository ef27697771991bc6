#pragma once

#include <functional>
#include <string>

// Opening a web address in the user's browser, and showing a file in the file
// manager (its folder opened with the file in it). Both return at once; false when
// nothing could be started. When the page or the file's folder cannot be shown, a
// sheet on the main window (the active window while none is set) says so.
bool openURL(const std::string& url);
bool revealInFileManager(const std::string& path);

// Seam: what does the two. The real actions hand the address (or the file's folder)
// to the desktop's opener; a test installs actions that record. A member left empty
// keeps the real action.
struct DesktopActions {
    std::function<bool(const std::string& url)> openURL;
    std::function<bool(const std::string& path)> reveal;
};
void setDesktopActions(DesktopActions actions);
