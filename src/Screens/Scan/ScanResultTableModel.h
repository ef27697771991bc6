#pragma once

#include "Screens/Scan/ScanResultRows.h"

#include <QAbstractTableModel>

#include <optional>
#include <string>
#include <vector>

// The results table's rows over the process-wide result list, in one column: each row
// names its record, or one of the record's paths, by its place in the list, and what a
// row shows is read from the list when the view asks for it. `rebuild` makes the rows
// again after the list changed shape; a tick changes its record in place.
class ScanResultTableModel : public QAbstractTableModel {
public:
    // What a row shows besides its text (Qt::DisplayRole: a record's title, a path row's
    // path), its tick (Qt::CheckStateRole) and its icon (Qt::DecorationRole, a QImage,
    // none for the generic one). Screen readers read the text as the row's name
    // (Qt::AccessibleTextRole) and a record's other texts as its description
    // (Qt::AccessibleDescriptionRole); a record with paths answers RowTableView::expandedRole.
    enum Role {
        isParentRole = Qt::UserRole,
        subTitleLeftRole,
        badgeRole, // empty: no badge
        companyRole,
        versionRole,
        itemCountRole,
        isShowDetailsRole,
    };

    using QAbstractTableModel::QAbstractTableModel;

    // The rows of the list as it is now.
    void rebuild();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The column's caption, as its header over the rows reads.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Qt::CheckStateRole on a record's row: the first record with its id is selected
    // or not; every other change is refused.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Shows the paths of the first record with the id of `row`'s record when that row
    // hides them, hides them when it shows them: the path rows are put in or taken out
    // under the record's row. False when `row` is no record's row or the id no record's.
    bool toggleDetails(int row);

    bool isParentRow(int row) const;
    bool isPathRow(int row) const;
    // The row of the record a row belongs to (a record's row is its own); -1 outside the rows.
    int recordRow(int row) const;
    // The id of a record's row; none for a path row or a row outside the list.
    std::optional<std::int64_t> recordIdAt(int row) const;
    // The path of a path row; none for a record's row, an absent path or a row outside.
    std::optional<std::string> pathAt(int row) const;
    // What a row names: its place in the list, which showing or hiding paths leaves
    // as it is (a rebuild may not); none outside the rows.
    std::optional<ScanResultRow> placeAt(int row) const;
    // The row that names `place` now; -1 when none does (a path its record hides).
    int rowOfPlace(const ScanResultRow& place) const;
    // What names a place (RowTableView::itemKeyRole), and the row that names it now (-1: none).
    static QString keyOf(const ScanResultRow& place);
    int rowOfKey(const QString& key) const;

private:
    const ScanResultRow* rowAt(int row) const;
    QVariant parentData(const ScanResult& record, int role) const;
    void emitRowChanged(std::size_t record, int role);
    // Makes the record's path rows the first `count` of its items.
    void showPathRows(std::size_t record, std::size_t count);
    void moveRecordsBelow(std::size_t record, int rows);

    std::vector<ScanResultRow> rows_;
    std::vector<int> rowOfRecord_; // each record's own row
};
