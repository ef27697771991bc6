#pragma once

#include <QPushButton>

// A push button that shows the pointing-hand cursor while the mouse is over it.
class HandCursorButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
