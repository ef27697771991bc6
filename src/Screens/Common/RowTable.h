#pragma once

#include <QString>

#include <functional>

class QTableView;
class QTableWidget;
class QWidget;

// Sets `table` up as a one-column list of rows, as the list screens show them: no
// headers, grid or focus; a clicked row selected, one at a time, and filled as
// MyNSTableRowView draws a selection; dark scroll bars (CustomTableScroller); rows
// `rowHeight` high unless told otherwise; the table's look from `styleSheet`. A table
// whose rows are widgets shows the fill through its transparent cells; a table with
// a delegate of its own draws the fill there.
void setUpRowTable(QTableView& table, int rowHeight, const QString& styleSheet);

// A table so set up whose rows are widgets.
QTableWidget* makeRowTable(QWidget* parent, int rowHeight, const QString& styleSheet);

// Replaces every row of `table` with `count` rows, row r showing makeCell(r).
void fillRows(QTableWidget& table, int count, const std::function<QWidget*(int row)>& makeCell);

// Gives each row of a table over a model the height its delegate's size hint asks.
void fitRowHeights(QTableView& table);
