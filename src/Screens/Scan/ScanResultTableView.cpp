#include "Screens/Scan/ScanResultTableView.h"

#include "Foundation/TextTable.h"
#include "Screens/Scan/ScanResultRowLayout.h"
#include "Screens/Scan/ScanResultTableModel.h"

#include <QAccessible>
#include <QKeyEvent>

#include <algorithm>

ScanResultTableView::ScanResultTableView(QWidget* parent) : RowTableView(parent)
{
    model_ = new ScanResultTableModel(this);
    setModel(model_);
    setRowControls({{&parentCheckBoxRect, Qt::CheckStateRole, ScanResultTableModel::isParentRole}});
    onToggle = [this](int row, int, const QVariant&) { toggleTick(row); };
}

int ScanResultTableView::rowOfItem(const QString& item, int) const
{
    return model_->rowOfKey(item);
}

QStringList ScanResultTableView::cellActionNames(int row) const
{
    if (model_->isParentRow(row))
        return {QAccessibleActionInterface::pressAction()};
    return model_->isPathRow(row) ? QStringList{QAccessibleActionInterface::showMenuAction()} : QStringList();
}

QString ScanResultTableView::cellActionName(int row, const QString& action) const
{
    if (action != QAccessibleActionInterface::pressAction() || !model_->isParentRow(row))
        return {};
    return screenText(model_->index(row, 0).data(ScanResultTableModel::isShowDetailsRole).toBool() ? "IDS_BGX_71"
                                                                                                   : "IDS_BGX_72");
}

void ScanResultTableView::doCellAction(int row, const QString& action)
{
    if (action == QAccessibleActionInterface::pressAction()) {
        toggleDetails(row);
    } else if (action == QAccessibleActionInterface::showMenuAction()) {
        setCurrentIndex(model_->index(row, 0));
        emit customContextMenuRequested(visualRect(model_->index(row, 0)).center());
    }
}

void ScanResultTableView::toggleTick(int row)
{
    if (!model_->isParentRow(row))
        return;
    const bool checked = model_->index(row, 0).data(Qt::CheckStateRole).value<Qt::CheckState>() != Qt::Checked;
    if (onTick)
        onTick(row, checked);
}

void ScanResultTableView::toggleDetails(int row)
{
    if (!model_->isParentRow(row))
        return;
    if (onShowDetails)
        onShowDetails(row);
    notifyExpandedChanged(row);
    announceCurrentRow();
}

void ScanResultTableView::notifyExpandedChanged(int row)
{
    QAccessibleInterface* cell = model_->isParentRow(row) ? accessibleCell(row) : nullptr;
    if (!cell)
        return;
    QAccessible::State changed;
    changed.expanded = changed.collapsed = true;
    QAccessibleStateChangeEvent event(cell, changed);
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
    RowTableView::keyPressEvent(event);
}
