#include "Controls/ToggleSwitchAccessible.h"

#include "Controls/AccessibleFactory.h"
#include "Controls/ToggleSwitch.h"

#include <QAccessibleWidget>

namespace {

class ToggleSwitchAccessible : public QAccessibleWidget {
public:
    explicit ToggleSwitchAccessible(ToggleSwitch& toggle) : QAccessibleWidget(&toggle, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = toggle().isOn();
        state.disabled = state.disabled || !toggle().acceptsUserToggle();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (name == toggleAction())
            toggle().flip();
        else
            QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        return name == toggleAction() ? QStringList{QStringLiteral("Space")} : QStringList{};
    }

private:
    ToggleSwitch& toggle() const { return *static_cast<ToggleSwitch*>(widget()); }
};

} // namespace

void installToggleSwitchAccessibility()
{
    controls::installAccessibleInterface<ToggleSwitch, ToggleSwitchAccessible>();
}
