#include "Screens/Manage/IgnoreListTableModel.h"

#include "Screens/Common/RowTable.h"

#include <algorithm>

IgnoreListTableModel::IgnoreListTableModel(const std::vector<IgnoreList>& rows, QObject* parent)
    : RowTableModel("IDS_BGX_63", parent), rows_(rows)
{
}

int IgnoreListTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

// The path, and which of its copies in the list the row is.
QString IgnoreListTableModel::itemKey(std::size_t row) const
{
    const std::string& path = rows_[row].path;
    const auto copiesAbove = std::count_if(rows_.begin(), rows_.begin() + static_cast<std::ptrdiff_t>(row),
                                           [&](const IgnoreList& above) { return above.path == path; });
    return QString::fromStdString(path) + '\n' + QString::number(copiesAbove);
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
        return itemKey(row);
    default:
        return {};
    }
}
