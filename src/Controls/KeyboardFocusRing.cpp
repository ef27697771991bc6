#include "Controls/KeyboardFocusRing.h"

#include "Controls/FocusRing.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
#include <QPointer>

namespace controls {

namespace {

class KeyboardFocusRing : public QObject {
public:
    explicit KeyboardFocusRing(QApplication& application) : QObject(&application)
    {
        application.installEventFilter(this);
        connect(&application, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
    }
    ~KeyboardFocusRing() override { delete ring_; }

    bool keyboardInUse = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            useKeyboard(true);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::TouchBegin:
            useKeyboard(false);
            break;
        case QEvent::FocusIn:
            if (const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
                reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
                useKeyboard(true);
            if (watched == QApplication::focusWidget())
                follow(QApplication::focusWidget());
            break;
        default:
            break;
        }
        return false;
    }

private:
    void useKeyboard(bool inUse)
    {
        if (keyboardInUse == inUse)
            return;
        keyboardInUse = inUse;
        follow(QApplication::focusWidget());
    }

    void follow(QWidget* focused)
    {
        const bool wearsRing = keyboardInUse && focused && !qobject_cast<QAbstractItemView*>(focused);
        if (!ring_ && !wearsRing)
            return;
        if (!ring_)
            ring_ = new FocusRingFrame; // placed in a window when it follows; gone with it
        if (wearsRing) // the style's own marks of a keyboard focus give way to the ring
            focused->window()->setAttribute(Qt::WA_KeyboardFocusChange, false);
        if (wearsRing || !ring_->isHidden())
            ring_->follow(wearsRing ? focused : nullptr);
    }

    QPointer<FocusRingFrame> ring_;
};

QPointer<KeyboardFocusRing> installed;

} // namespace

void showFocusRingOnKeyboardFocus()
{
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!installed && application)
        installed = new KeyboardFocusRing(*application);
}

bool keyboardFocusShown()
{
    return installed && installed->keyboardInUse;
}

} // namespace controls
