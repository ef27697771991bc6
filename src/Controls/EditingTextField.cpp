#include "Controls/EditingTextField.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

struct KeyEquivalent {
    Qt::KeyboardModifiers modifiers;
    int key;
    const char* action;
};

const KeyEquivalent kKeyEquivalents[] = {
    {EditingTextField::commandKey, Qt::Key_X, "cut"},
    {EditingTextField::commandKey, Qt::Key_C, "copy"},
    {EditingTextField::commandKey, Qt::Key_V, "paste"},
    {EditingTextField::commandKey, Qt::Key_Z, "undo"},
    {EditingTextField::commandKey, Qt::Key_A, "selectAll"},
    {EditingTextField::commandShiftKey, Qt::Key_Z, "redo"},
};

} // namespace

bool EditingTextField::performKeyEquivalent(const QKeyEvent& event)
{
    for (const auto& equivalent : kKeyEquivalents) {
        if (event.modifiers() != equivalent.modifiers || event.key() != equivalent.key)
            continue;
        QWidget* firstResponder = QApplication::focusWidget();
        return firstResponder != nullptr && QMetaObject::invokeMethod(firstResponder, equivalent.action);
    }
    return false;
}

bool EditingTextField::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && performKeyEquivalent(static_cast<QKeyEvent&>(*event))) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}
