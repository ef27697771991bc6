#pragma once

#include <QString>

#include <functional>

class QTableWidget;
class QWidget;

// A one-column table of row widgets, as the list screens show them: no headers, grid,
// selection or focus; rows `rowHeight` high; the table's look from `styleSheet`.
QTableWidget* makeRowTable(QWidget* parent, int rowHeight, const QString& styleSheet);

// Replaces every row of `table` with `count` rows, row r showing makeCell(r).
void fillRows(QTableWidget& table, int count, const std::function<QWidget*(int row)>& makeCell);
