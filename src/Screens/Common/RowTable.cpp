#include "Screens/Common/RowTable.h"

#include "Controls/CustomTableScroller.h"
#include "Controls/MyNSTableRowView.h"

#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QStyleOptionViewItem>
#include <QTableWidget>

namespace {

// The items of a table whose rows are widgets: nothing but a selected row's fill.
class RowSelectionDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        if (option.state & QStyle::State_Selected)
            MyNSTableRowView::drawSelection(*painter, option.rect);
    }
};

} // namespace

void setUpRowTable(QTableView& table, int rowHeight, const QString& styleSheet)
{
    table.setObjectName("tableView");
    table.horizontalHeader()->hide();
    table.horizontalHeader()->setStretchLastSection(true);
    table.verticalHeader()->hide();
    table.verticalHeader()->setDefaultSectionSize(rowHeight);
    table.setShowGrid(false);
    table.setSelectionMode(QAbstractItemView::SingleSelection);
    table.setSelectionBehavior(QAbstractItemView::SelectRows);
    table.setFocusPolicy(Qt::NoFocus);
    table.setVerticalScrollBar(new CustomTableScroller(Qt::Vertical, &table));
    table.setHorizontalScrollBar(new CustomTableScroller(Qt::Horizontal, &table));
    table.setItemDelegate(new RowSelectionDelegate(&table));
    table.setStyleSheet(styleSheet);
}

QTableWidget* makeRowTable(QWidget* parent, int rowHeight, const QString& styleSheet)
{
    auto* table = new QTableWidget(0, 1, parent);
    setUpRowTable(*table, rowHeight, styleSheet);
    return table;
}

void fillRows(QTableWidget& table, int count, const std::function<QWidget*(int row)>& makeCell)
{
    table.setRowCount(0);
    table.setRowCount(count);
    for (int row = 0; row < count; ++row)
        table.setCellWidget(row, 0, makeCell(row));
}

void fitRowHeights(QTableView& table)
{
    const QAbstractItemModel* model = table.model();
    if (!model)
        return;
    QStyleOptionViewItem option;
    option.font = table.font();
    option.rect = QRect(0, 0, table.viewport()->width(), 0);
    QHeaderView& rows = *table.verticalHeader();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        const int height = table.itemDelegateForIndex(index)->sizeHint(option, index).height();
        if (rows.sectionSize(row) != height)
            rows.resizeSection(row, height);
    }
}
