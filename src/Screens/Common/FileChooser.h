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
};

// Chooser responses.
inline constexpr int fileChooserCancel = 0;
inline constexpr int fileChooserOK = 1;

// The file chooser as a sheet on `view`'s window over the shared dimming overlay: the
// overlay comes down on every answer, before `completion` gets the response and, for
// fileChooserOK, the chosen paths in order (none otherwise). Escape and closing
// answer fileChooserCancel. `completion` runs exactly once, on the main thread.
using FileChooserCompletion = std::function<void(int response, const std::vector<std::string>& paths)>;
void beginFileChooser(QWidget& view, const FileChooserOptions& options, FileChooserCompletion completion);

// Seam: what shows the chooser and answers. The real presenter shows a QFileDialog on
// `window`; a test installs one that answers with chosen paths. Setting an empty
// presenter restores the real one.
using FileChooserPresenter =
    std::function<void(QWidget& window, const FileChooserOptions& options, FileChooserCompletion answer)>;
void setFileChooserPresenter(FileChooserPresenter presenter);
