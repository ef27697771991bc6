#pragma once

#include <QTableView>

#include <functional>
#include <optional>
#include <vector>

class QAccessibleInterface;
class QPainter;
class QStyleOptionViewItem;

// Sets `table` up as a one-column list of rows, as the list screens show them: no
// headers or grid; a clicked row selected, one at a time; dark scroll bars
// (CustomTableScroller); rows `rowHeight` high unless told otherwise; the table's look
// from `styleSheet`. Its delegate draws a selected row's fill (fillRowBackground).
void setUpRowTable(QTableView& table, int rowHeight, const QString& styleSheet);

// Gives each row of a table over a model the height its delegate's size hint asks.
void fitRowHeights(QTableView& table);

// A row's background: the selection's fill on a selected row, else `background`.
void fillRowBackground(QPainter& painter, const QStyleOptionViewItem& option, const QColor& background);
// A tick box, ticked or not, at `place`, in the application's check box colours.
void paintRowTickBox(QPainter& painter, const QRect& place, bool ticked);

// A control drawn in every row of a RowTableView (a tick box, a switch): where it lies
// in a row, and the model's roles for its state and for whether a row has it.
struct RowControl {
    std::function<QRect(const QRect& row)> place;
    int checkedRole = Qt::CheckStateRole; // Qt::Checked, or true: on
    int shownRole = -1;                   // false: this row has none; -1: every row has it
    int enabledRole = -1;                 // false: shown but taking no input; -1: always taking it
    int descriptionRole = -1;             // what a screen reader says of it besides the row's item; -1: nothing
};

// The list tables of the screens, worked alike by the mouse, the keyboard and screen
// readers, with no widget per row. Tab enters the table on its current row (the first
// wholly in view, where none is), walks that row's controls left to right and then
// leaves it for the screen's next control; Shift+Tab walks back. Up and Down, Page Up
// and Page Down, Home and End move the current row, which is also the row shown
// selected; Space flips the control the keyboard is on. A click on a control flips it
// when the press and the release fall on it while its row shows the same item (the
// model's itemKeyRole). Screen readers hear a focus event only while the table has the
// keyboard: on its row, or its control.
class RowTableView : public QTableView {
public:
    // What names the item a row shows (a QString), compared before a row's control acts.
    static constexpr int itemKeyRole = Qt::UserRole + 64;
    // Whether a row shows what it holds (bool); none: it holds nothing to show.
    static constexpr int expandedRole = Qt::UserRole + 65;

    explicit RowTableView(QWidget* parent = nullptr);

    // The controls of each row; screen readers find them as the row cell's children.
    void setRowControls(std::vector<RowControl> controls);
    const std::vector<RowControl>& rowControls() const { return controls_; }
    // Whether the keyboard moved in the table since it took the focus or a click: the
    // focus ring shows only then.
    bool keyboardInUse() const { return keyboardUsed_; }
    // What flipping a row's control does: `item` is the row's itemKeyRole as the user saw it.
    std::function<void(int row, int control, const QVariant& item)> onToggle;

    // Whether the row shows the control, and whether it takes input there (Tab skips it where not).
    bool rowShowsControl(int row, int control) const;
    bool rowHasControl(int row, int control) const;
    // Where the control lies in the viewport; empty where the row has none.
    QRect controlRect(int row, int control) const;
    // Flips the control, as a click on it does; nothing where the row has none.
    void toggleControl(int row, int control);
    // The control of the current row the keyboard is on; -1 when none.
    int currentControl() const { return currentControl_; }
    // For a delegate: the focus ring around the control the keyboard is on, in `index`'s
    // row; none after the mouse alone worked the table.
    void paintControlFocus(QPainter& painter, const QModelIndex& index, const QRect& rowRect) const;

    // The row's cell as screen readers see it; null while none listens.
    QAccessibleInterface* accessibleCell(int row);
    // A focus event on what the keyboard is on (the current row's control, else its
    // cell), while the table has the keyboard.
    void announceCurrentRow();
    // Makes `row` current without scrolling to it.
    void setCurrentRowInPlace(int row);

    // The row that shows `item` now, last seen at `hint`; -1 when none does.
    virtual int rowOfItem(const QString& item, int hint) const;
    // What a row's cell does for screen readers besides its controls (QAccessibleActionInterface
    // names), what it calls them (empty: Qt's name) and doing one: none by default.
    virtual QStringList cellActionNames(int row) const;
    virtual QString cellActionName(int row, const QString& action) const;
    virtual void doCellAction(int row, const QString& action);

protected:
    // Screen readers hear of the rows' controls that changed.
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Home and End go to the first and the last row: the rows have one column only.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The row's next control after `from` in `step`'s direction; -1 when none.
    int nextControl(int row, int from, int step) const;
    // The control of the row under `point`, with the row.
    std::optional<std::pair<int, int>> controlAt(QPoint point) const;
    QVariant itemAt(int row) const;

    struct Press {
        int row;
        int control;
        QVariant item;
    };
    std::vector<RowControl> controls_;
    int currentControl_ = -1;
    bool keyboardUsed_ = false; // since the table last took the focus or a click
    std::optional<Press> press_;
};
