#include "Screens/Scan/ScanResultItemDelegate.h"

#include "Controls/FocusRing.h"

#include "Foundation/TextTable.h"
#include "Platform/Image/Image.h"
#include "Screens/Common/PlainToolTip.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/ScreenWidgets.h"
#include "Screens/Scan/ScanResultRowLayout.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultTableView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QToolTip>

#include <optional>

namespace {

using Model = ScanResultTableModel;

const QColor linkColor{161, 161, 161};
constexpr int badgeRadius = 3;
// The cell's ring sits a point inside the row, its stroke rounded by 4.
constexpr qreal focusRingMargin = 1;
constexpr qreal focusRingRadius = 4 + controls::focusRingWidth / 2;

bool isParent(const QModelIndex& index)
{
    return index.data(Model::isParentRole).toBool();
}

QString text(const QModelIndex& index, int role)
{
    return index.data(role).toString();
}

QString showDetailsText(const QModelIndex& index)
{
    return screenText(index.data(Model::isShowDetailsRole).toBool() ? "IDS_BGX_71" : "IDS_BGX_72");
}

ScanResultParentLayout parentLayout(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    return ScanResultParentLayout(option.rect, ScanResultRowFonts(option.font), text(index, Model::subTitleLeftRole),
                                  text(index, Model::badgeRole), showDetailsText(index));
}

// The record's icon, or the generic application icon, at the icon's size; kept in the
// pixmap cache.
QPixmap iconPixmap(const QVariant& icon, QSize size)
{
    const QImage image = icon.isValid() ? icon.value<QImage>() : platform::Image::genericApplicationIcon().bitmap();
    const QString key = QStringLiteral("scanresult-icon-%1-%2").arg(image.cacheKey()).arg(size.width());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap::fromImage(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        QPixmapCache::insert(key, pixmap);
    }
    return pixmap;
}

void drawText(QPainter& painter, const QRect& rect, const QFont& font, const QColor& colour, const QString& text,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    painter.save(); // each text stays inside its place, glyph edges too
    painter.setClipRect(rect);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(rect, static_cast<int>(alignment), text);
    painter.restore();
}

QString elidedRight(const QString& text, const QFont& font, int width)
{
    return QFontMetrics(font).elidedText(text, Qt::ElideRight, width);
}

// The whole text of the part of the row under `point`; none where no text lies.
std::optional<QString> textUnder(QPoint point, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (!isParent(index))
        return childPathRect(option.rect).contains(point) ? std::optional(text(index, Qt::DisplayRole)) : std::nullopt;
    const ScanResultParentLayout layout = parentLayout(option, index);
    const std::pair<QRect, int> parts[] = {{layout.title, Qt::DisplayRole},
                                           {layout.badge, Model::badgeRole},
                                           {layout.company, Model::companyRole},
                                           {layout.version, Model::versionRole}};
    for (const auto& [rect, role] : parts)
        if (rect.contains(point))
            return text(index, role);
    return std::nullopt;
}

} // namespace

ScanResultItemDelegate::ScanResultItemDelegate(ScanResultTableView& view) : QStyledItemDelegate(&view), view_(view) {}

QSize ScanResultItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return {option.rect.width(), isParent(index) ? resultcolumns::parentRowHeight : resultcolumns::childRowHeight};
}

void ScanResultItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    painter->save();
    if (isParent(index))
        paintParent(*painter, option, index);
    else
        paintChild(*painter, option, index);
    const auto* table = dynamic_cast<const RowTableView*>(option.widget);
    if (option.state & QStyle::State_HasFocus && (!table || table->keyboardInUse()))
        controls::paintFocusRing(*painter, QRectF(option.rect).adjusted(focusRingMargin, focusRingMargin,
                                                                          -focusRingMargin, -focusRingMargin),
                                 focusRingRadius);
    painter->restore();
}

void ScanResultItemDelegate::paintParent(QPainter& painter, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const
{
    const ScanResultRowFonts fonts(option.font);
    const ScanResultParentLayout layout = parentLayout(option, index);
    fillRowBackground(painter, option, screenstyle::panelColor);

    paintRowTickBox(painter, layout.checkBox, index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked);
    painter.drawPixmap(layout.icon, iconPixmap(index.data(Qt::DecorationRole), layout.icon.size()));

    drawText(painter, layout.title, fonts.title, screenstyle::inkColor,
             elidedInMiddle(text(index, Qt::DisplayRole), fonts.title, layout.title.width()));
    drawText(painter, layout.subTitleLeft, fonts.subTitle, screenstyle::captionColor,
             text(index, Model::subTitleLeftRole));
    if (!layout.badgeText.isEmpty()) {
        painter.save(); // the rounding only is antialiased: an underline would blur
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(screenstyle::threatRed);
        painter.drawRoundedRect(layout.badge, badgeRadius, badgeRadius);
        painter.restore();
        drawText(painter, layout.badgeTextRect(), fonts.badge, Qt::white, layout.badgeText);
    }
    drawText(painter, layout.company, fonts.column, screenstyle::captionColor,
             elidedRight(text(index, Model::companyRole), fonts.column, layout.company.width()));
    drawText(painter, layout.version, fonts.column, screenstyle::captionColor,
             elidedRight(text(index, Model::versionRole), fonts.column, layout.version.width()));
    drawText(painter, layout.count, fonts.count, screenstyle::inkColor, text(index, Model::itemCountRole),
             Qt::AlignHCenter | Qt::AlignVCenter);
    drawText(painter, layout.link, fonts.link, linkColor, showDetailsText(index), Qt::AlignCenter);
}

void ScanResultItemDelegate::paintChild(QPainter& painter, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    const QFont font = ScanResultRowFonts(option.font).path;
    const QRect place = childPathRect(option.rect);
    fillRowBackground(painter, option, screenstyle::screenColor);
    drawText(painter, place, font, screenstyle::captionColor,
             elidedInMiddle(text(index, Qt::DisplayRole), font, place.width()));
}

bool ScanResultItemDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                         const QModelIndex& index)
{
    switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return mouseEvent(static_cast<QMouseEvent&>(*event), option, index);
    default:
        return false;
    }
}

bool ScanResultItemDelegate::mouseEvent(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                        const QModelIndex& index)
{
    const QPoint point = event.position().toPoint();
    const std::optional<ScanResultParentLayout> layout
        = isParent(index) ? std::optional(parentLayout(option, index)) : std::nullopt;
    const bool overLink = layout && layout->link.contains(point);
    if (event.type() == QEvent::MouseMove) {
        view_.viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
        return false;
    }
    if (event.button() != Qt::LeftButton || !overLink)
        return false; // the checkbox is the view's row control
    if (event.type() == QEvent::MouseButtonRelease)
        view_.toggleDetails(index.row());
    return true;
}

bool ScanResultItemDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                       const QModelIndex& index)
{
    if (event->type() != QEvent::ToolTip)
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const std::optional<QString> whole = textUnder(event->pos(), option, index);
    if (!whole || whole->isEmpty()) {
        QToolTip::hideText();
        return false;
    }
    QToolTip::showText(event->globalPos(), plainToolTip(*whole), view);
    return true;
}
