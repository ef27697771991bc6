#pragma once

#include "Screens/Common/AuthorizationDialog.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <functional>

namespace screentest {

// Acts on the authorisation dialog as soon as it is shown (a modal dialog runs its
// own event loop, where this timer fires), and keeps what it showed.
class AuthorizationDialogAnswerer {
public:
    explicit AuthorizationDialogAnswerer(std::function<void(AuthorizationDialog&)> act) : act_(std::move(act))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = dynamic_cast<AuthorizationDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            timer_.stop();
            shown = true;
            headline = dialog->lblHeadline->text();
            action = dialog->lblAction->text();
            act_(*dialog);
        });
        timer_.start(10);
    }

    // Whether the dialog was shown, and its texts.
    bool shown = false;
    QString headline;
    QString action;

private:
    std::function<void(AuthorizationDialog&)> act_;
    QTimer timer_;
};

} // namespace screentest
