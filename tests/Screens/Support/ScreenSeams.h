#pragma once

#include "Screens/Common/ConfirmationSheet.h"
#include "Screens/Common/DesktopActions.h"
#include "Screens/Common/FileChooser.h"
#include "Screens/Common/ModalAlert.h"

#include <QPointer>
#include <QWidget>

#include <optional>
#include <string>
#include <vector>

namespace screentest {

// While it lives, the screen layer's seams are answered here instead of by dialogs
// and the desktop: every alert, chooser and desktop action is recorded; a sheet or a
// chooser waits until the test answers it; a modal alert gets modalResponse at once.
// The real presenters come back when it ends.
class ScreenSeams {
public:
    ScreenSeams();
    ~ScreenSeams();
    ScreenSeams(const ScreenSeams&) = delete;
    ScreenSeams& operator=(const ScreenSeams&) = delete;

    // Sheets shown so far, the window each was shown on, and whether one waits for an answer.
    std::vector<AlertContent> sheets;
    std::vector<QPointer<QWidget>> sheetWindows;
    bool sheetPending() const { return static_cast<bool>(sheetAnswer_); }
    // Answers the waiting sheet (a test failure when none waits).
    void answerSheet(int response);

    std::vector<AlertContent> modalAlerts;
    int modalResponse = alertFirstButtonReturn;

    std::vector<FileChooserOptions> choosers;
    bool chooserPending() const { return static_cast<bool>(chooserAnswer_); }
    void answerChooser(int response, const std::vector<std::string>& paths = {});

    std::vector<std::string> openedURLs;
    std::vector<std::string> revealedPaths;
    bool revealSucceeds = true; // false: the desktop has no opener for the file's folder
    bool openSucceeds = true;   // false: the desktop has no opener for web pages

private:
    SheetCompletion sheetAnswer_;
    FileChooserCompletion chooserAnswer_;
};

} // namespace screentest
