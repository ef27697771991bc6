#include "ScreenSeams.h"

#include <gtest/gtest.h>

#include <utility>

namespace screentest {

ScreenSeams::ScreenSeams()
{
    setSheetPresenter([this](QWidget& window, const AlertContent& alert, SheetCompletion answer) {
        sheets.push_back(alert);
        sheetWindows.emplace_back(&window);
        sheetAnswer_ = std::move(answer);
    });
    setModalAlertPresenter([this](const AlertContent& alert) {
        modalAlerts.push_back(alert);
        return modalResponse;
    });
    setFileChooserPresenter([this](QWidget&, const FileChooserOptions& options, FileChooserCompletion answer) {
        choosers.push_back(options);
        chooserAnswer_ = std::move(answer);
    });
    setDesktopActions({[this](const std::string& url) { openedURLs.push_back(url); return openSucceeds; },
                       [this](const std::string& path) { revealedPaths.push_back(path); return revealSucceeds; }});
}

ScreenSeams::~ScreenSeams()
{
    setSheetPresenter({});
    setModalAlertPresenter({});
    setFileChooserPresenter({});
    setDesktopActions({});
}

void ScreenSeams::answerSheet(int response)
{
    ASSERT_TRUE(sheetAnswer_) << "no sheet waits for an answer";
    std::exchange(sheetAnswer_, {})(response);
}

void ScreenSeams::answerChooser(int response, const std::vector<std::string>& paths)
{
    ASSERT_TRUE(chooserAnswer_) << "no file chooser waits for an answer";
    std::exchange(chooserAnswer_, {})(response, paths);
}

} // namespace screentest
