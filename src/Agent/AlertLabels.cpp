#include "Agent/AlertLabels.h"

#include "Screens/Common/PlainToolTip.h"

#include <QPainter>
#include <QTextDocument>

namespace {

constexpr int badgePadding = 6;

// The whole text as the tool tip of a label that shows it cut; none where the
// label shows it whole.
void setToolTipWhereCut(QLabel& label, const QString& shown)
{
    label.setToolTip(shown == label.text() ? QString() : plainToolTip(label.text()));
}

} // namespace

void setWrappedText(QLabel& label, const QString& text, int width)
{
    QStringList words = text.split(' ');
    for (QString& word : words)
        word = label.fontMetrics().elidedText(word, Qt::ElideMiddle, width);
    const QString shown = words.join(' ');
    label.setText(shown);
    label.setToolTip(shown == text ? QString() : plainToolTip(text));
}

ElidingLabel::ElidingLabel(QWidget* parent) : ElidedLabel(Qt::ElideMiddle, parent) {}

void ElidingLabel::setText(const QString& text)
{
    QLabel::setText(text);
    setToolTipWhereCut(*this, shownText());
}

void ElidingLabel::resizeEvent(QResizeEvent* event)
{
    ElidedLabel::resizeEvent(event);
    setToolTipWhereCut(*this, shownText());
}

BadgeLabel::BadgeLabel(const QColor& fill, QWidget* parent) : QLabel(parent), fill_(fill)
{
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
}

void BadgeLabel::setText(const QString& text)
{
    QLabel::setText(text);
    setToolTipWhereCut(*this, shownText());
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

QRect BadgeLabel::textArea() const
{
    return rect().adjusted(badgePadding, 0, -badgePadding, 0);
}

QString BadgeLabel::shownText() const
{
    return fontMetrics().elidedText(text(), Qt::ElideRight, textArea().width());
}

void BadgeLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill_);
    painter.drawRoundedRect(QRectF(rect()), 3, 3);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(textArea(), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

void BadgeLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    setToolTipWhereCut(*this, shownText());
}
