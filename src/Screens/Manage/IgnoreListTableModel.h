#pragma once

#include <QAbstractTableModel>
#include <QImage>

#include <string>
#include <vector>

// One row of the ignore list: the file's icon, its path as stored, its checkbox.
struct IgnoreList {
    QImage icon;
    std::string path;
    bool isSelected = true;
};

// The ignore list's rows over the screen's list, one column: Qt::DisplayRole the path
// as stored, Qt::DecorationRole its icon, Qt::CheckStateRole its tick. A path stored
// twice names each of its rows apart (RowTableView::itemKeyRole).
class IgnoreListTableModel : public QAbstractTableModel {
public:
    IgnoreListTableModel(const std::vector<IgnoreList>& rows, QObject* parent);

    // The list as it is now; the row at `row` changed in place.
    void reload();
    void rowChanged(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QString itemKey(std::size_t row) const;

    const std::vector<IgnoreList>& rows_;
};
