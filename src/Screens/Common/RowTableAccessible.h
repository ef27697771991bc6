#pragma once

class QAccessibleInterface;
class RowTableView;

// Makes screen readers see `view` as a table of one column under the model's column
// caption, named by the view's accessible name: each row's cell is named by the model's
// Qt::AccessibleTextRole, described by its Qt::AccessibleDescriptionRole, checkable
// where the row is and the view has no row controls, expandable where the row answers
// expandedRole, does what the view's cell actions say, and holds the row's controls as
// check boxes named by the row's Qt::DisplayRole, which the Toggle action flips as a
// click does. A cell follows its row's item (the view's itemKeyRole), not its place;
// cells are numbered as the view's own focus and change events number them. Called
// when the view is made.
void makeRowTableAccessible(RowTableView& view);

// Tells screen readers which controls of the rows `first` to `last` were ticked or
// unticked since they last heard, of the rows they asked for.
void announceRowControlChanges(RowTableView& view, int first, int last);

// The accessible control `control` of a row's cell; null when the row has none.
QAccessibleInterface* focusedRowControl(QAccessibleInterface& cell, int control);
