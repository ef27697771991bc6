#include "Controls/FocusRing.h"

#include "Controls/LayerPainter.h"

#include <QEvent>
#include <QPainter>

namespace controls {

namespace {

constexpr qreal edgeWidth = 1;
constexpr qreal defaultCornerRadius = 4;

void strokeBand(QPainter& painter, const QRectF& bounds, qreal cornerRadius, qreal from, qreal width,
                const QColor& colour)
{
    painter.setPen(QPen(colour, width));
    const qreal inset = from + width / 2;
    painter.drawPath(roundedLayerPath(bounds.adjusted(inset, inset, -inset, -inset), cornerRadius - inset));
}

// The nearest container of `control` that holds the ring round it whole; the window
// when none does.
QWidget* hostFor(QWidget& control)
{
    QRect ring = control.geometry().adjusted(-FocusRingFrame::outset, -FocusRingFrame::outset,
                                             FocusRingFrame::outset, FocusRingFrame::outset);
    QWidget* host = control.parentWidget();
    while (!host->isWindow() && !host->rect().contains(ring)) {
        ring.translate(host->pos());
        host = host->parentWidget();
    }
    return host;
}

} // namespace

void paintFocusRing(QPainter& painter, const QRectF& bounds, qreal cornerRadius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipping(false);
    painter.setBrush(Qt::NoBrush);
    strokeBand(painter, bounds, cornerRadius, 0, edgeWidth, focusRingEdgeColor);
    strokeBand(painter, bounds, cornerRadius, edgeWidth, focusRingWidth - edgeWidth, focusRingColor);
    painter.restore();
}

QString overlayButtonStyle()
{
    return QStringLiteral("QPushButton { background: transparent; border: none; outline: none; }");
}

FocusRingFrame::FocusRingFrame()
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRingFrame::follow(QWidget* control)
{
    watch(false);
    control_ = control;
    if (!control || !control->parentWidget() || !control->isVisible()) {
        hide();
        return;
    }
    QWidget* host = hostFor(*control);
    if (parentWidget() != host)
        setParent(host);
    watch(true);
    place();
    show();
    raise();
}

void FocusRingFrame::watch(bool on)
{
    if (!on) {
        for (const QPointer<QWidget>& each : watched_)
            if (each)
                each->removeEventFilter(this);
        watched_.clear();
        return;
    }
    for (QWidget* each = control_; each && each != parentWidget(); each = each->parentWidget()) {
        each->installEventFilter(this);
        watched_.emplace_back(each);
    }
}

void FocusRingFrame::place()
{
    const QRect bounds(control_->mapTo(parentWidget(), QPoint(0, 0)), control_->size());
    const QRect ring = bounds.adjusted(-outset, -outset, outset, outset);
    // Round a control at the window's edge the ring comes inside, over the control's edge.
    setGeometry(parentWidget()->isWindow() ? ring & parentWidget()->rect() : ring);
}

qreal FocusRingFrame::cornerRadius() const
{
    const QVariant set = control_->property(focusRingCornerProperty);
    if (!set.isValid())
        return defaultCornerRadius;
    const qreal radius = set.toReal();
    return radius < 0 ? control_->height() / 2.0 : radius;
}

bool FocusRingFrame::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        if (control_ && isVisible())
            place();
        break;
    case QEvent::Hide:
        hide();
        break;
    case QEvent::ParentChange:
        follow(control_);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void FocusRingFrame::paintEvent(QPaintEvent*)
{
    if (!control_)
        return;
    QPainter painter(this);
    paintFocusRing(painter, rect(), cornerRadius() + outset);
}

} // namespace controls
