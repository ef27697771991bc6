#include "Agent/AlertLabels.h"

#include <QPainter>

namespace {

constexpr int badgePadding = 6;

} // namespace

ElidingLabel::ElidingLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void ElidingLabel::setText(const QString& text)
{
    QLabel::setText(text);
    setToolTip(text);
}

QSize ElidingLabel::minimumSizeHint() const
{
    return {0, fontMetrics().height()};
}

void ElidingLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
}

BadgeLabel::BadgeLabel(const QColor& fill, QWidget* parent) : QLabel(parent), fill_(fill)
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void BadgeLabel::setText(const QString& text)
{
    QLabel::setText(text);
    setToolTip(text);
}

QSize BadgeLabel::sizeHint() const
{
    // One pixel either side keeps rounding from eliding a text that fits.
    return {fontMetrics().size(Qt::TextSingleLine, text()).width() + 2 * badgePadding + 2, fontMetrics().height() + 4};
}

QSize BadgeLabel::minimumSizeHint() const
{
    return {2 * badgePadding, sizeHint().height()};
}

void BadgeLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill_);
    painter.drawRoundedRect(QRectF(rect()), 3, 3);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRect area = rect().adjusted(badgePadding, 0, -badgePadding, 0);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
}
