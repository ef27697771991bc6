#pragma once

#include <QDialog>

class FlatButton;
class QLabel;

// The dialog that asks the user to allow a privileged step: it names the program
// and what the program is about to do, in the product's dark look. Allow accepts;
// Cancel, Escape and closing reject. Main thread only.
class AuthorizationDialog : public QDialog {
public:
    // `action` is what the program is about to do ("Removing … needs …"); an empty
    // one gives a general text naming the program.
    AuthorizationDialog(const QString& programName, const QString& action, QWidget* parent = nullptr);

    QLabel* lblHeadline = nullptr;
    QLabel* lblAction = nullptr;
    FlatButton* btnAllow = nullptr;
    FlatButton* btnCancel = nullptr;

private:
    QWidget* makeBody(const QString& programName, const QString& action);
};
