#pragma once

#include <QAccessible>
#include <QLatin1String>

namespace controls {

// Qt's accessibility factory for one control class: `Interface` (constructed from the
// control) answers for every `Control`. A class that adds no meta-object of its own is
// asked for under its base's name and is not matched.
template <class Control, class Interface>
QAccessibleInterface* accessibleInterfaceFor(const QString& className, QObject* object)
{
    if (className != QLatin1String(Control::staticMetaObject.className()))
        return nullptr;
    auto* control = qobject_cast<Control*>(object);
    return control ? new Interface(*control) : nullptr;
}

// Installs that factory once per process. Main thread only.
template <class Control, class Interface>
void installAccessibleInterface()
{
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleInterfaceFor<Control, Interface>);
        return true;
    }();
    (void)installed;
}

} // namespace controls
