#include "Screens/Manage/StartupManagerTableCellView.h"

#include "Controls/ToggleSwitch.h"
#include "Screens/Common/ImageNamed.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/ScreenStyle.h"
#include "Screens/Manage/ManageLook.h"
#include "Screens/Manage/StartupItemsTableModel.h"

#include <QApplication>
#include <QPainter>

namespace {

using Model = StartupItemsTableModel;

constexpr int margin = 16;
constexpr int spacing = 12;
constexpr int iconSide = 32;
constexpr int alertSide = 24;
constexpr QSize switchSize{44, 24};
constexpr int statusSpacing = 10;
const QColor switchGreen = QColor::fromRgbF(0, 176 / 255.0, 80 / 255.0, 1.0);

QRect centredIn(const QRect& row, int left, QSize size)
{
    return {left, row.center().y() - size.height() / 2 + 1, size.width(), size.height()};
}

void drawElided(QPainter& painter, const QRect& place, const QFont& font, const QColor& colour, const QString& text)
{
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(place, Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(font).elidedText(text, Qt::ElideRight, place.width()));
}

} // namespace

StartupManagerTableCellView::Places StartupManagerTableCellView::placesIn(const QRect& row)
{
    Places places;
    const int indicator = QApplication::style()->pixelMetric(QStyle::PM_IndicatorWidth);
    int left = row.left() + margin;
    places.tickBox = centredIn(row, left, {indicator, indicator});
    left += indicator + spacing;
    places.icon = centredIn(row, left, {iconSide, iconSide});
    left += iconSide + spacing;
    const int statusLeft = row.right() + 1 - margin - statusWidth;
    const int companyLeft = statusLeft - spacing - publisherWidth;
    places.name = QRect(left, row.top(), std::max(0, companyLeft - spacing - left), row.height());
    places.company = QRect(companyLeft, row.top(), publisherWidth, row.height());
    places.toggle = centredIn(row, statusLeft, switchSize);
    places.alert = centredIn(row, statusLeft, {alertSide, alertSide});
    const int textLeft = statusLeft + switchSize.width() + statusSpacing;
    places.status = QRect(textLeft, row.top(), statusLeft + statusWidth - textLeft, row.height());
    return places;
}

StartupManagerTableCellView::StartupManagerTableCellView(RowTableView& view)
    : QStyledItemDelegate(&view), view_(view)
{
}

QSize StartupManagerTableCellView::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return {option.rect.width(), rowHeight};
}

QPixmap StartupManagerTableCellView::switchPixmap(bool on, bool switchable, qreal pixelRatio) const
{
    QPixmap& made = switches_[{on, switchable}];
    if (!made.isNull() && made.devicePixelRatio() == pixelRatio)
        return made;
    // Made for the drawing only: no window of its own outlives it.
    ToggleSwitch drawn;
    drawn.setFixedSize(switchSize);
    drawn.setFillColor(switchable ? switchGreen : QColor(Qt::lightGray));
    drawn.setIsOn(on);
    drawn.finishAnimations();
    made = QPixmap(switchSize * pixelRatio);
    made.setDevicePixelRatio(pixelRatio);
    made.fill(Qt::transparent);
    drawn.render(&made, {}, {}, QWidget::DrawChildren);
    return made;
}

void StartupManagerTableCellView::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    const Places places = placesIn(option.rect);
    painter->save();
    fillRowBackground(*painter, option, QColor(38, 38, 38));
    paintRowTickBox(*painter, places.tickBox, index.data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked);
    const QImage icon = index.data(Qt::DecorationRole).value<QImage>();
    if (!icon.isNull())
        painter->drawImage(places.icon, icon.scaled(places.icon.size() * painter->device()->devicePixelRatio(),
                                                    Qt::KeepAspectRatio, Qt::SmoothTransformation));
    QFont font = option.font;
    font.setPointSize(12);
    drawElided(*painter, places.name, font, manageLook::headlineColor(), index.data(Qt::DisplayRole).toString());
    drawElided(*painter, places.company, font, manageLook::bodyColor(), index.data(Model::companyRole).toString());
    const bool switchable = index.data(Model::switchableRole).toBool();
    if (index.data(Model::switchShownRole).toBool())
        painter->drawPixmap(places.toggle.topLeft(), switchPixmap(index.data(Model::switchOnRole).toBool(), switchable,
                                                                  painter->device()->devicePixelRatio()));
    else
        painter->drawPixmap(places.alert, imageNamed("exclamationM"));
    drawElided(*painter, places.status, font, switchable ? QColor(Qt::white) : QColor(Qt::lightGray),
               index.data(Model::statusRole).toString());
    view_.paintControlFocus(*painter, index, option.rect);
    painter->restore();
}
