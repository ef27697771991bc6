#pragma once

#include "Screens/Common/RowTable.h"

#include <functional>

class ScanResultTableModel;

// The results table: the rows of its ScanResultTableModel, worked alike by the mouse
// (through the delegate), the keyboard and screen readers. Tab and Shift+Tab leave it
// for the screen's other controls. On the current row Space ticks a record, Return
// shows or hides its paths, Right shows them and Left hides them; Left on a path row
// goes to its record. Whenever the table has the keyboard a row is current. Screen
// readers see a table of one column, a record's checkbox as its cell's check box (its
// row control) with a Toggle action, as in the other list tables; they hear the
// current row again (a focus event on its check box, or on a path row's cell) when
// the table takes the keyboard and when rows change under it.
class ScanResultTableView : public RowTableView {
public:
    explicit ScanResultTableView(QWidget* parent = nullptr);

    // What the screen does when a record's row is ticked or its paths shown or hidden.
    std::function<void(int row, bool checked)> onTick;
    std::function<void(int row)> onShowDetails;

    ScanResultTableModel& resultsModel() const { return *model_; }

    // Flips the tick of a record's row, as a click on its checkbox does; nothing on another row.
    void toggleTick(int row);
    // Shows or hides the paths of a record's row, as a click on its link does.
    void toggleDetails(int row);

    // Makes the rows again from the result list. A list that replaced the last one
    // opens at its top; an edit of the same list keeps its place and its current row.
    void reloadRows(bool newList);

    // Screen readers: a record's cell shows or hides its paths (Press); a path row's
    // cell opens the path menu (ShowMenu).
    int rowOfItem(const QString& item, int hint) const override;
    QStringList cellActionNames(int row) const override;
    QString cellActionName(int row, const QString& action) const override;
    void doCellAction(int row, const QString& action) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void notifyExpandedChanged(int row);

    ScanResultTableModel* model_ = nullptr;
};
