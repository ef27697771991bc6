#pragma once

#include <functional>
#include <string>
#include <vector>

class QWidget;

// What the user may choose in the file chooser, and the texts it shows.
struct FileChooserOptions {
    std::string prompt;  // the title of the choosing button
    std::string message; // shown above the files
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    bool showsHiddenFiles = false;
    // Off: an application bundle (a folder named "*.app") is one item, chosen like a
    // file and never entered.
    bool treatsFilePackagesAsDirectories = false;
};

// Chooser responses.
inline constexpr int fileChooserCancel = 0;
inline constexpr int fileChooserOK = 1;

// A folder whose name ends in ".app".
bool isFilePackage(const std::string& path);

// Whether `path` may be among the chosen items: a file (anything that is not a
// folder) or, unless packages are folders, an application bundle when files can be
// chosen; any other folder when folders can.
bool canChoose(const std::string& path, const FileChooserOptions& options);

// The file chooser as a sheet on `view`'s window over the shared dimming overlay: the
// overlay comes down on every answer, before `completion` gets the response and, for
// fileChooserOK, the chosen paths in order (none otherwise; a path that cannot be
// chosen is never among them). Escape and closing answer fileChooserCancel. Before
// `completion` runs, `view`'s window is active again and the control that had the
// keyboard when the chooser opened has it again.
// `completion` runs exactly once, on the main thread.
using FileChooserCompletion = std::function<void(int response, const std::vector<std::string>& paths)>;
void beginFileChooser(QWidget& view, const FileChooserOptions& options, FileChooserCompletion completion);

// Seam: what shows the chooser and answers. The real presenter shows a file dialog on
// `window` that enters a folder it cannot choose and chooses an application bundle as
// one item; a test installs one that answers with chosen paths. Setting an empty
// presenter restores the real one.
using FileChooserPresenter =
    std::function<void(QWidget& window, const FileChooserOptions& options, FileChooserCompletion answer)>;
void setFileChooserPresenter(FileChooserPresenter presenter);
