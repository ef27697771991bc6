#include "AccessibleEventLog.h"

#include <QWidget>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace widgettest {

namespace {

AccessibleEventLog* activeLog = nullptr;

void record(QAccessibleEvent* event)
{
    AccessibleEventLog::Event kept{event->type(), event->object(), event->child(), {}, {}, {}};
    const bool changedState = event->type() == QAccessible::StateChanged;
    if (event->type() == QAccessible::Focus || changedState)
        if (QAccessibleInterface* target = event->accessibleInterface()) {
            kept.target = QAccessible::uniqueId(target);
            kept.name = target->text(QAccessible::Name);
            kept.state = changedState ? static_cast<QAccessibleStateChangeEvent*>(event)->changedStates()
                                      : target->state();
        }
    activeLog->events.push_back(std::move(kept));
}

// What a screen reader's registration does: Qt raises its events only while active.
void setAccessibilityActive(bool active)
{
    if (QPlatformAccessibility* accessibility = QGuiApplicationPrivate::platformIntegration()->accessibility())
        accessibility->setActive(active);
}

} // namespace

AccessibleEventLog::AccessibleEventLog()
{
    activeLog = this;
    QAccessible::installUpdateHandler(record);
    setAccessibilityActive(true);
}

AccessibleEventLog::~AccessibleEventLog()
{
    setAccessibilityActive(false);
    QAccessible::installUpdateHandler(nullptr);
    activeLog = nullptr;
}

std::vector<AccessibleEventLog::Event> AccessibleEventLog::of(QAccessible::Event type, const QWidget& widget) const
{
    std::vector<Event> found;
    for (const Event& event : events) {
        const auto* target = qobject_cast<const QWidget*>(event.object.data());
        if (event.type == type && target && (target == &widget || widget.isAncestorOf(target)))
            found.push_back(event);
    }
    return found;
}

} // namespace widgettest
