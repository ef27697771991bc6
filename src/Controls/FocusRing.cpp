#include "Controls/FocusRing.h"

#include "Controls/LayerPainter.h"

#include <QEvent>
#include <QPainter>

namespace controls {

void paintFocusRing(QPainter& painter, const QRectF& bounds, qreal cornerRadius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipping(false);
    painter.setPen(QPen(focusRingColor, focusRingWidth));
    painter.setBrush(Qt::NoBrush);
    const qreal inset = focusRingWidth / 2;
    painter.drawPath(roundedLayerPath(bounds.adjusted(inset, inset, -inset, -inset), cornerRadius - inset));
    painter.restore();
}

QString overlayButtonStyle()
{
    return QStringLiteral("QPushButton { background: transparent; border: none; outline: none; }"
                          "QPushButton:focus { border: %1px solid %2; border-radius: 4px; }")
        .arg(focusRingWidth)
        .arg(focusRingColor.name());
}

FocusRingFrame::FocusRingFrame(QWidget& control, qreal cornerRadius)
    : QWidget(control.parentWidget()), control_(&control), cornerRadius_(cornerRadius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    control.installEventFilter(this);
    connect(&control, &QObject::destroyed, this, &QObject::deleteLater);
}

void FocusRingFrame::follow(bool focused)
{
    if (!control_ || !focused || !control_->parentWidget()) {
        hide();
        return;
    }
    if (parentWidget() != control_->parentWidget())
        setParent(control_->parentWidget());
    place();
    show();
    raise();
}

void FocusRingFrame::place()
{
    const int outset = gap + static_cast<int>(focusRingWidth);
    setGeometry(control_->geometry().adjusted(-outset, -outset, outset, outset));
}

bool FocusRingFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (isVisible())
            place();
        break;
    case QEvent::Hide:
    case QEvent::ParentChange:
        follow(control_ && control_->hasFocus() && control_->isVisible());
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRingFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const qreal outset = gap + focusRingWidth;
    paintFocusRing(painter, rect(), cornerRadius_ + outset);
}

} // namespace controls
