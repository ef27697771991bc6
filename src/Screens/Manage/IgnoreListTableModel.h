#pragma once

#include "Screens/Common/RowTableModel.h"

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
// twice names each of its rows apart (RowTableView::itemKeyRole), as the list was at
// its last reload.
class IgnoreListTableModel : public RowTableModel {
public:
    IgnoreListTableModel(const std::vector<IgnoreList>& rows, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void listChanged() override;

    const std::vector<IgnoreList>& rows_;
    std::vector<QString> itemKeys_; // each row's, as of the last reload
};
