#include "Screens/Common/ScreenContainer.h"

#include "Controls/ViewPinning.h"
#include "Screens/Common/AppearingScreen.h"

#include <QWidget>

void showScreen(QWidget& container, QWidget& screen)
{
    for (QWidget* shown : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (shown == &screen)
            continue;
        shown->hide();
        shown->setParent(nullptr);
    }
    auto* steps = dynamic_cast<AppearingScreen*>(&screen);
    screen.setParent(&container);
    pinToSuperviewEdges(screen, container);
    if (steps)
        steps->viewWillAppear();
    screen.show();
    if (steps)
        steps->viewDidAppear();
}
