#include "Screens/Scan/ScanResultTableView.h"

#include "Screens/Common/RowTable.h"
#include "Screens/Scan/ScanResultTableAccessible.h"
#include "Screens/Scan/ScanResultTableModel.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTimer>

#include <algorithm>

ScanResultTableView::ScanResultTableView(QWidget* parent) : QTableView(parent)
{
    setTabKeyNavigation(false); // Tab goes on to the screen's next control
    model_ = new ScanResultTableModel(this);
    setModel(model_);
    makeAccessible(*this);
}

void ScanResultTableView::toggleTick(int row)
{
    if (!model_->isParentRow(row))
        return;
    const bool checked = model_->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() != Qt::Checked;
    if (onTick)
        onTick(row, checked);
    notifyScreenReaders(row, true);
}

void ScanResultTableView::toggleDetails(int row)
{
    if (!model_->isParentRow(row))
        return;
    if (onShowDetails)
        onShowDetails(row);
    notifyScreenReaders(row, false);
    announceCurrentRow();
}

QAccessibleInterface* ScanResultTableView::accessibleCell(int row)
{
    if (!QAccessible::isActive())
        return nullptr;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(this);
    return table && table->tableInterface() ? table->tableInterface()->cellAt(row, 0) : nullptr;
}

void ScanResultTableView::notifyScreenReaders(int row, bool checkedChanged)
{
    QAccessibleInterface* cell = model_->isParentRow(row) ? accessibleCell(row) : nullptr;
    if (!cell)
        return;
    QAccessible::State changed;
    if (checkedChanged)
        changed.checked = true;
    else
        changed.expanded = changed.collapsed = true;
    QAccessibleStateChangeEvent event(cell, changed);
    QAccessible::updateAccessibility(&event);
}

void ScanResultTableView::announceCurrentRow()
{
    QAccessibleInterface* cell = hasFocus() ? accessibleCell(currentIndex().row()) : nullptr;
    if (!cell)
        return;
    QAccessibleEvent event(this, QAccessible::Focus);
    event.setChild(cell->parent()->indexOfChild(cell));
    QAccessible::updateAccessibility(&event);
}

void ScanResultTableView::reloadRows(bool newList)
{
    const int current = currentIndex().row();
    model_->rebuild();
    fitRowHeights(*this);
    if (newList)
        scrollToTop();
    else if (current >= 0 && model_->rowCount() > 0) {
        setCurrentRowInPlace(std::min(current, model_->rowCount() - 1));
        announceCurrentRow();
    }
}

void ScanResultTableView::setCurrentRowInPlace(int row)
{
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    setCurrentIndex(model_->index(row, 0));
    setAutoScroll(scrolls);
}

void ScanResultTableView::keyPressEvent(QKeyEvent* event)
{
    const int row = currentIndex().row();
    const bool isRecord = model_->isParentRow(row);
    const bool shown = isRecord && model_->index(row, 0).data(ScanResultTableModel::isShowDetailsRole).toBool();
    if ((event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Select:
            toggleTick(row);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!isRecord)
                break;
            toggleDetails(row);
            return;
        case Qt::Key_Right:
            if (isRecord && !shown)
                toggleDetails(row);
            else if (isRecord && model_->isPathRow(row + 1))
                setCurrentIndex(model_->index(row + 1, 0));
            return;
        case Qt::Key_Left:
            if (isRecord && shown)
                toggleDetails(row);
            else if (!isRecord && row >= 0)
                setCurrentIndex(model_->index(model_->recordRow(row), 0));
            return;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(event);
}

void ScanResultTableView::focusInEvent(QFocusEvent* event)
{
    // The row the keyboard starts on: the first wholly in view, where the user scrolled.
    if (!currentIndex().isValid() && model_->rowCount() > 0 && event->reason() != Qt::MouseFocusReason) {
        int row = std::max(0, rowAt(0));
        if (rowViewportPosition(row) < 0 && row + 1 < model_->rowCount())
            ++row;
        setCurrentRowInPlace(row);
    }
    QTableView::focusInEvent(event);
    // After the focus event Qt raises for the whole table, so the reader ends on the
    // row; also when a menu over the table closes.
    QTimer::singleShot(0, this, [this] { announceCurrentRow(); });
}
