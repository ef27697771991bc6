#include "App/InitialWindowController.h"

#include "App/MainMenu.h"
#include "App/ViewController.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/MainWindow.h"
#include "Screens/Common/ScreenStyle.h"

#include <QCloseEvent>

InitialWindowController::InitialWindowController() : content_(new ViewController)
{
    setCentralWidget(content_);
    setMainWindow(this);
    screenstyle::useScreenLookForPopups();
    buildMainMenu(*menuBar());
    windowDidLoad();
}

// A window without a title line of its own: the content draws its own header. Screen
// readers still hear the product's name for it.
void InitialWindowController::windowDidLoad()
{
    setWindowTitle(QString());
    setAccessibleName(screenText("IDS_BGX_1"));
    setFixedSize(sizeHint());
}

void InitialWindowController::closeEvent(QCloseEvent* event)
{
    if (windowShouldClose())
        event->accept();
    else
        event->ignore();
}
