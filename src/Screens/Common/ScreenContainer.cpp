#include "Screens/Common/ScreenContainer.h"

#include "Controls/ViewPinning.h"
#include "Screens/Common/AppearingScreen.h"

#include <QWidget>

bool holdsFocus(const QWidget& area)
{
    const QWidget* focused = area.window()->focusWidget();
    return focused && (focused == &area || area.isAncestorOf(focused));
}

void focusMainControl(QWidget& screen)
{
    auto* steps = dynamic_cast<AppearingScreen*>(&screen);
    QWidget* control = steps ? steps->mainControl() : nullptr;
    if (control && control->isVisibleTo(&screen))
        control->setFocus(Qt::OtherFocusReason);
}

void changeShown(QWidget& area, std::initializer_list<std::pair<QWidget*, bool>> visibility, QWidget* next)
{
    const bool handsOver = next && holdsFocus(area);
    for (const auto& [widget, visible] : visibility)
        if (visible)
            widget->show();
    if (handsOver)
        next->setFocus(Qt::OtherFocusReason);
    for (const auto& [widget, visible] : visibility)
        if (!visible)
            widget->hide();
}

void showScreen(QWidget& container, QWidget& screen)
{
    const bool handsOverFocus = holdsFocus(container) && !holdsFocus(screen);
    auto* steps = dynamic_cast<AppearingScreen*>(&screen);
    screen.setParent(&container);
    pinToSuperviewEdges(screen, container);
    if (steps)
        steps->viewWillAppear();
    screen.show();
    if (handsOverFocus) // before the screen it replaces goes, so that the focus moves once
        focusMainControl(screen);
    for (QWidget* shown : container.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (shown == &screen)
            continue;
        shown->hide();
        shown->setParent(nullptr);
    }
    if (steps)
        steps->viewDidAppear();
}
