#include "App/InitialWindowController.h"

#include "App/MainMenu.h"
#include "App/ViewController.h"
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

// A window without a title line of its own: the content draws its own header.
void InitialWindowController::windowDidLoad()
{
    setWindowTitle(QString());
    setFixedSize(sizeHint());
}

void InitialWindowController::closeEvent(QCloseEvent* event)
{
    if (windowShouldClose())
        event->accept();
    else
        event->ignore();
}
