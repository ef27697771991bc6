#include "Screens/Common/RowTable.h"

#include "Controls/CustomTableScroller.h"
#include "Controls/FocusRing.h"
#include "Controls/MyNSTableRowView.h"
#include "Screens/Common/RowTableAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStyleOptionViewItem>
#include <QTimer>

#include <algorithm>

namespace {

// The ring around a row's control lies outside its edge, as around the controls themselves.
constexpr qreal controlRingRadius = 6;

bool isPlainKey(const QKeyEvent& event)
{
    return (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

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
    table.setEditTriggers(QAbstractItemView::NoEditTriggers);
    table.setFocusPolicy(Qt::StrongFocus); // the keyboard works the rows
    table.setTabKeyNavigation(false);      // Tab goes on to the screen's next control
    table.setVerticalScrollBar(new CustomTableScroller(Qt::Vertical, &table));
    table.setHorizontalScrollBar(new CustomTableScroller(Qt::Horizontal, &table));
    table.setStyleSheet(styleSheet);
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

void fillRowBackground(QPainter& painter, const QStyleOptionViewItem& option, const QColor& background)
{
    if (option.state & QStyle::State_Selected)
        MyNSTableRowView::drawSelection(painter, option.rect);
    else
        painter.fillRect(option.rect, background);
}

void paintRowTickBox(QPainter& painter, const QRect& place, bool ticked)
{
    QStyleOptionButton box;
    box.rect = place;
    box.palette = QApplication::palette("QCheckBox"); // not the table's, which its style sheet darkens
    box.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    QApplication::style()->drawControl(QStyle::CE_CheckBox, &box, &painter);
}

RowTableView::RowTableView(QWidget* parent) : QTableView(parent)
{
    setTabKeyNavigation(false);
    makeRowTableAccessible(*this);
}

void RowTableView::setRowControls(std::vector<RowControl> controls)
{
    controls_ = std::move(controls);
}

QVariant RowTableView::itemAt(int row) const
{
    return model() ? model()->index(row, 0).data(itemKeyRole) : QVariant();
}

bool RowTableView::rowShowsControl(int row, int control) const
{
    if (!model() || row < 0 || row >= model()->rowCount() || control < 0
        || static_cast<std::size_t>(control) >= controls_.size())
        return false;
    const int shown = controls_[static_cast<std::size_t>(control)].shownRole;
    return shown < 0 || model()->index(row, 0).data(shown).toBool();
}

bool RowTableView::rowHasControl(int row, int control) const
{
    if (!rowShowsControl(row, control))
        return false;
    const int enabled = controls_[static_cast<std::size_t>(control)].enabledRole;
    return enabled < 0 || model()->index(row, 0).data(enabled).toBool();
}

QRect RowTableView::controlRect(int row, int control) const
{
    if (!rowShowsControl(row, control))
        return {};
    return controls_[static_cast<std::size_t>(control)].place(visualRect(model()->index(row, 0)));
}

void RowTableView::toggleControl(int row, int control)
{
    if (rowHasControl(row, control) && onToggle)
        onToggle(row, control, itemAt(row));
}

void RowTableView::paintControlFocus(QPainter& painter, const QModelIndex& index, const QRect& rowRect) const
{
    if (!hasFocus() || !keyboardUsed_ || index.row() != currentIndex().row()
        || !rowHasControl(index.row(), currentControl_))
        return;
    const qreal outside = controls::FocusRingFrame::gap + controls::focusRingWidth;
    const QRectF control = controls_[static_cast<std::size_t>(currentControl_)].place(rowRect);
    controls::paintFocusRing(painter, control.adjusted(-outside, -outside, outside, outside), controlRingRadius);
}

int RowTableView::nextControl(int row, int from, int step) const
{
    for (int control = from + step; control >= 0 && static_cast<std::size_t>(control) < controls_.size();
         control += step)
        if (rowHasControl(row, control))
            return control;
    return -1;
}

QAccessibleInterface* RowTableView::accessibleCell(int row)
{
    if (!QAccessible::isActive())
        return nullptr;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
    return table && table->tableInterface() ? table->tableInterface()->cellAt(row, 0) : nullptr;
}

void RowTableView::announceCurrentRow()
{
    QAccessibleInterface* cell = hasFocus() ? accessibleCell(currentIndex().row()) : nullptr;
    if (!cell)
        return;
    QAccessibleInterface* control = rowHasControl(currentIndex().row(), currentControl_)
                                        ? focusedRowControl(*cell, currentControl_)
                                        : nullptr;
    if (control) {
        QAccessibleEvent event(control, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
        return;
    }
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(cell->parent()->indexOfChild(cell));
    QAccessible::updateAccessibility(&event);
}

void RowTableView::setCurrentRowInPlace(int row)
{
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    setCurrentIndex(model()->index(row, 0));
    setAutoScroll(scrolls);
}

int RowTableView::rowOfItem(const QString& item, int hint) const
{
    const int rows = model() ? model()->rowCount() : 0;
    const auto shows = [&](int row) { return model()->index(row, 0).data(itemKeyRole).toString() == item; };
    if (hint >= 0 && hint < rows && shows(hint))
        return hint;
    for (int row = 0; row < rows; ++row)
        if (shows(row))
            return row;
    return -1;
}

QStringList RowTableView::cellActionNames(int) const
{
    return {};
}

QString RowTableView::cellActionName(int, const QString&) const
{
    return {};
}

void RowTableView::doCellAction(int, const QString&) {}

void RowTableView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QTableView::dataChanged(topLeft, bottomRight, roles);
    if (topLeft.isValid() && bottomRight.isValid())
        announceRowControlChanges(*this, topLeft.row(), bottomRight.row());
}

void RowTableView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // QTableView's own raises a focus event whether or not the table has the keyboard.
    QAbstractItemView::currentChanged(current, previous);
    if (!rowHasControl(current.row(), currentControl_))
        currentControl_ = nextControl(current.row(), -1, 1);
    announceCurrentRow();
}

bool RowTableView::focusNextPrevChild(bool next)
{
    const int control = hasFocus() ? nextControl(currentIndex().row(), currentControl_, next ? 1 : -1) : -1;
    if (control < 0)
        return QTableView::focusNextPrevChild(next);
    currentControl_ = control;
    keyboardUsed_ = true;
    viewport()->update();
    announceCurrentRow();
    return true;
}

void RowTableView::focusInEvent(QFocusEvent* event)
{
    const int rows = model() ? model()->rowCount() : 0;
    // The row the keyboard starts on: the first wholly in view, where the user scrolled.
    if (!currentIndex().isValid() && rows > 0 && event->reason() != Qt::MouseFocusReason) {
        int row = std::max(0, rowAt(0));
        if (rowViewportPosition(row) < 0 && row + 1 < rows)
            ++row;
        setCurrentRowInPlace(row);
    }
    const int row = currentIndex().row();
    keyboardUsed_ = event->reason() != Qt::MouseFocusReason;
    if (event->reason() == Qt::TabFocusReason)
        currentControl_ = nextControl(row, -1, 1);
    else if (event->reason() == Qt::BacktabFocusReason)
        currentControl_ = nextControl(row, static_cast<int>(controls_.size()), -1);
    QTableView::focusInEvent(event);
    // After the focus event Qt raises for the whole table, so the reader ends on the
    // row; also when a menu over the table closes.
    QTimer::singleShot(0, this, [this] { announceCurrentRow(); });
}

void RowTableView::keyPressEvent(QKeyEvent* event)
{
    keyboardUsed_ = true;
    if (!controls_.empty() && isPlainKey(*event)
        && (event->key() == Qt::Key_Space || event->key() == Qt::Key_Select)) {
        toggleControl(currentIndex().row(), currentControl_);
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex RowTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // A table's own Home and End stay in the row unless Ctrl is held.
    if (action == MoveHome || action == MoveEnd)
        modifiers |= Qt::ControlModifier;
    return QTableView::moveCursor(action, modifiers);
}

std::optional<std::pair<int, int>> RowTableView::controlAt(QPoint point) const
{
    const int row = rowAt(point.y());
    for (int control = 0; static_cast<std::size_t>(control) < controls_.size(); ++control)
        if (controlRect(row, control).contains(point))
            return std::pair{row, control};
    return std::nullopt;
}

void RowTableView::mousePressEvent(QMouseEvent* event)
{
    press_.reset();
    const auto pressed = event->button() == Qt::LeftButton ? controlAt(event->position().toPoint()) : std::nullopt;
    if (pressed)
        press_ = Press{pressed->first, pressed->second, itemAt(pressed->first)};
    QTableView::mousePressEvent(event);
    keyboardUsed_ = false;
    if (pressed)
        currentControl_ = pressed->second;
    viewport()->update();
}

void RowTableView::mouseReleaseEvent(QMouseEvent* event)
{
    const std::optional<Press> pressed = std::exchange(press_, std::nullopt);
    QTableView::mouseReleaseEvent(event);
    if (!pressed || event->button() != Qt::LeftButton)
        return;
    const auto released = controlAt(event->position().toPoint());
    // The rows may have been made again in between: the click counts for the item it began on only.
    if (released && *released == std::pair{pressed->row, pressed->control} && itemAt(pressed->row) == pressed->item
        && onToggle)
        onToggle(pressed->row, pressed->control, pressed->item);
}
