#include "Screens/Common/RowTableModel.h"

#include "Foundation/TextTable.h"

QStringList captionedColumns(const std::vector<std::pair<const char*, QString>>& columns)
{
    QStringList parts;
    for (const auto& [caption, value] : columns)
        if (!value.isEmpty())
            parts << screenText(caption) + ": " + value;
    return parts;
}

RowTableModel::RowTableModel(const char* captionKey, QObject* parent)
    : QAbstractTableModel(parent), captionKey_(captionKey)
{
}

void RowTableModel::reload()
{
    beginResetModel();
    listChanged();
    endResetModel();
}

void RowTableModel::rowChanged(int row)
{
    if (row >= 0 && row < rowCount())
        emit dataChanged(index(row, 0), index(row, 0));
}

void RowTableModel::allRowsChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

int RowTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant RowTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
        return screenText(captionKey_);
    return {};
}

Qt::ItemFlags RowTableModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags; // ticks are row controls
}
