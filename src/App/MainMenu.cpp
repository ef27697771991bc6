#include "App/MainMenu.h"

#include "App/AppDelegate.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

void buildMainMenu(QMenuBar& menuBar)
{
    AppDelegate& delegate = AppDelegate::shared();
    QMenu* menu = menuBar.addMenu("Bastion Guardpoint");
    delegate.menuItemAbout = menu->addAction("About Bastion Guardpoint", [&delegate] { delegate.tappedAbout(); });
    delegate.menuItemShowBGX = menu->addAction("Show Bastion Guardpoint", QKeySequence("Ctrl+0"),
                                               [&delegate] { delegate.showBGX(); });
    delegate.menuItemCheckForUpdate = menu->addAction("Check for Updates…", [&delegate] {
        if (delegate.updater)
            delegate.updater->checkForUpdates(&delegate);
    });
    menu->addSeparator();
    menu->addAction("Quit Bastion Guardpoint", QKeySequence::Quit, [] { QApplication::quit(); });
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &delegate] {
        for (QAction* action : menu->actions())
            action->setEnabled(delegate.validateMenuItem(action));
    });
}
