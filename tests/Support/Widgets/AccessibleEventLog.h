#pragma once

#include <QAccessible>
#include <QPointer>
#include <QString>

#include <vector>

class QWidget;

namespace widgettest {

// The accessibility events raised while it lives, as a screen reader's bridge gets
// them through the update handler (no bridge needed). A focus event keeps the name
// and state of the object it names at the time it was raised; a state change event
// the object's name and the states that changed.
class AccessibleEventLog {
public:
    struct Event {
        QAccessible::Event type;
        QPointer<QObject> object;
        int child = -1;
        QAccessible::Id target = 0; // focus and state change events only, as the rest below
        QString name;
        QAccessible::State state;
    };

    AccessibleEventLog();
    ~AccessibleEventLog();
    AccessibleEventLog(const AccessibleEventLog&) = delete;
    AccessibleEventLog& operator=(const AccessibleEventLog&) = delete;

    // The events of `type` on `widget` or on a widget inside it.
    std::vector<Event> of(QAccessible::Event type, const QWidget& widget) const;

    std::vector<Event> events;
};

} // namespace widgettest
