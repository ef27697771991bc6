#pragma once

#include <QAccessibleWidget>

namespace controls {

// A control to screen readers with a Press action that acts as its click; the
// subclass says what a press does.
class PressableAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }

    void doAction(const QString& name) override
    {
        if (name == pressAction())
            press();
        else
            QAccessibleWidget::doAction(name);
    }

protected:
    virtual void press() = 0;
};

} // namespace controls
