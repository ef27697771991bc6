#pragma once

#include <QLineEdit>

class QKeyEvent;

// An editable text field that handles the standard editing shortcuts itself: with the
// command modifier alone (Control here), X, C, V, Z and A send cut, copy, paste, undo and
// select-all, and with command and Shift, Z sends redo, each to the focused widget. A
// shortcut that nobody handles, and every other key, goes to the line edit.
class EditingTextField : public QLineEdit {
    Q_OBJECT

public:
    static constexpr Qt::KeyboardModifiers commandKey{Qt::ControlModifier};
    static constexpr Qt::KeyboardModifiers commandShiftKey{Qt::ControlModifier | Qt::ShiftModifier};

    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent* event) override;

private:
    // Sends the shortcut's action; whether one was sent and handled.
    bool performKeyEquivalent(const QKeyEvent& event);
};
