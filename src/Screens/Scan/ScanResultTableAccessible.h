#pragma once

class ScanResultTableView;

// Makes screen readers see `view` as a table of one column under its caption: a
// record's cell is named by its title, described by the rest of its row, checkable
// and expandable, and acts as the row does (Toggle ticks it, Press shows or hides its
// paths); a path row's cell reads its path and opens the path menu (ShowMenu). Cells
// are numbered as the view's own focus and change events number them. Called once the
// view is made.
void makeAccessible(ScanResultTableView& view);
