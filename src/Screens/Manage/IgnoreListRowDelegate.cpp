#include "Screens/Manage/IgnoreListRowDelegate.h"

#include "Screens/Common/RowTable.h"
#include "Screens/Manage/ManageLook.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int margin = 12;
constexpr int spacing = 12;
constexpr int iconSide = 28;
constexpr int textPointSize = 11;

} // namespace

QRect IgnoreListRowDelegate::tickBoxIn(const QRect& row)
{
    const int indicator = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
    return {row.right() + 1 - margin - indicator, row.center().y() - indicator / 2 + 1, indicator, indicator};
}

IgnoreListRowDelegate::IgnoreListRowDelegate(RowTableView& view) : QStyledItemDelegate(&view), view_(view) {}

QSize IgnoreListRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), rowHeight};
}

void IgnoreListRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const
{
    const QRect row = option.rect;
    const QRect tickBox = tickBoxIn(row);
    const QRect icon(row.left() + margin, row.center().y() - iconSide / 2 + 1, iconSide, iconSide);
    const int textLeft = icon.right() + 1 + spacing;
    const QRect text(textLeft, row.top(), tickBox.left() - spacing - textLeft, row.height());
    painter->save();
    fillRowBackground(*painter, option, QColor(43, 43, 43));
    const QImage image = index.data(Qt::DecorationRole).value<QImage>();
    if (!image.isNull())
        painter->drawImage(icon, image.scaled(icon.size() * painter->device()->devicePixelRatio(),
                                              Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QFont font = option.font;
    font.setPointSize(textPointSize);
    painter->setFont(font);
    painter->setPen(manageLook::headlineColor());
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(font).elidedText(index.data().toString(), Qt::ElideMiddle, text.width()));
    paintRowTickBox(*painter, tickBox, index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked);
    view_.paintControlFocus(*painter, index, row);
    painter->restore();
}
