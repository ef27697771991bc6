#pragma once

#include <QAbstractTableModel>

#include <QStringList>

#include <utility>
#include <vector>

// A row's other columns as a screen reader hears them beside its name: each value
// after its column's caption (a text key), those with none left out.
QStringList captionedColumns(const std::vector<std::pair<const char*, QString>>& columns);

// The model of a list screen's table: one column under its caption (a text key),
// rows that are selectable, a change of the whole list or of rows in place.
class RowTableModel : public QAbstractTableModel {
public:
    RowTableModel(const char* captionKey, QObject* parent);

    // The list as it is now.
    void reload();
    // The row at `row` changed in place; every row.
    void rowChanged(int row);
    void allRowsChanged();

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

protected:
    // What the model keeps of the list, made again as the list is reloaded.
    virtual void listChanged() {}

private:
    const char* captionKey_;
};
