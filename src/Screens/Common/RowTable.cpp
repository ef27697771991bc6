#include "Screens/Common/RowTable.h"

#include <QHeaderView>
#include <QTableWidget>

QTableWidget* makeRowTable(QWidget* parent, int rowHeight, const QString& styleSheet)
{
    auto* table = new QTableWidget(0, 1, parent);
    table->setObjectName("tableView");
    table->horizontalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->setShowGrid(false);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->setStyleSheet(styleSheet);
    return table;
}

void fillRows(QTableWidget& table, int count, const std::function<QWidget*(int row)>& makeCell)
{
    table.setRowCount(0);
    table.setRowCount(count);
    for (int row = 0; row < count; ++row)
        table.setCellWidget(row, 0, makeCell(row));
}
