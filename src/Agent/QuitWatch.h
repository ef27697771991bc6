#pragma once

#include <QObject>

// Tells whether the application is quitting: a quit request (QCoreApplication::
// quit(), as on SIGTERM, or the session's logout) has reached it since the
// watch was made. Main thread only.
class QuitWatch : public QObject {
public:
    explicit QuitWatch(QObject* parent);
    bool isQuitting() const { return quitting_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool quitting_ = false;
};
