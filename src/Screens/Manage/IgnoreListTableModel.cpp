#include "Screens/Manage/IgnoreListTableModel.h"

#include "Screens/Common/RowTable.h"

#include <unordered_map>

IgnoreListTableModel::IgnoreListTableModel(const std::vector<IgnoreList>& rows, QObject* parent)
    : RowTableModel("IDS_BGX_63", parent), rows_(rows)
{
}

int IgnoreListTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

// Each row's key: its path, and which of its copies in the list the row is.
void IgnoreListTableModel::listChanged()
{
    std::unordered_map<std::string, int> copiesAbove;
    itemKeys_.clear();
    for (const IgnoreList& row : rows_)
        itemKeys_.push_back(QString::fromStdString(row.path) + '\n' + QString::number(copiesAbove[row.path]++));
}

QVariant IgnoreListTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const IgnoreList& item = rows_[row];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(item.path);
    case Qt::DecorationRole:
        return item.icon;
    case Qt::CheckStateRole:
        return item.isSelected ? Qt::Checked : Qt::Unchecked;
    case RowTableView::itemKeyRole:
        return row < itemKeys_.size() ? itemKeys_[row] : QVariant();
    default:
        return {};
    }
}
