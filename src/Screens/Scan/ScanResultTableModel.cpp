#include "Screens/Scan/ScanResultTableModel.h"

#include "Detection/SharedLists.h"
#include "Foundation/TextTable.h"
#include "Screens/Common/RowTable.h"
#include "Screens/Common/RowTableModel.h"

#include <QImage>
#include <QStringList>

namespace {

QString qText(const std::string& text)
{
    return QString::fromStdString(text);
}

// What a record's row shows beside its title, as a screen reader reads it: the threat
// line and its badge, then each column under its caption.
QString accessibleDescription(const ScanResult& record)
{
    QStringList parts;
    const QString threat = (qText(record.subTitleLeft) + ' ' + qText(record.subTitleRight)).trimmed();
    if (!threat.isEmpty())
        parts << threat;
    parts << captionedColumns({{"IDS_BGX_64", qText(record.company)},
                               {"IDS_BGX_65", qText(record.version)},
                               {"IDS_BGX_66", QString::number(itemCount(record))}});
    return parts.join(", ");
}

} // namespace

void ScanResultTableModel::rebuild()
{
    beginResetModel();
    scanResults().update([this](const std::vector<ScanResult>& results) { rows_ = makeResultRows(results); });
    rowOfRecord_.clear();
    for (std::size_t row = 0; row < rows_.size(); ++row)
        if (rows_[row].isParent())
            rowOfRecord_.push_back(static_cast<int>(row));
    endResetModel();
}

int ScanResultTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ScanResultTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

const ScanResultRow* ScanResultTableModel::rowAt(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < rows_.size() ? &rows_[static_cast<std::size_t>(row)] : nullptr;
}

bool ScanResultTableModel::isParentRow(int row) const
{
    const ScanResultRow* each = rowAt(row);
    return each && each->isParent();
}

bool ScanResultTableModel::isPathRow(int row) const
{
    const ScanResultRow* each = rowAt(row);
    return each && !each->isParent();
}

int ScanResultTableModel::recordRow(int row) const
{
    const ScanResultRow* each = rowAt(row);
    return each && each->record < rowOfRecord_.size() ? rowOfRecord_[each->record] : -1;
}

QVariant ScanResultTableModel::data(const QModelIndex& index, int role) const
{
    const ScanResultRow* row = rowAt(index.row());
    if (!row)
        return {};
    if (role == RowTableView::itemKeyRole)
        return keyOf(*row);
    return scanResults().update([&](const std::vector<ScanResult>& results) -> QVariant {
        if (role == isParentRole)
            return row->isParent();
        if (row->isParent()) {
            const ScanResult* record = recordOf(results, *row);
            return record ? parentData(*record, role) : QVariant();
        }
        const ScanResultItem* item = itemOf(results, *row);
        if ((role == Qt::DisplayRole || role == Qt::AccessibleTextRole) && item)
            return qText(item->path.value_or(""));
        return {};
    });
}

QVariant ScanResultTableModel::parentData(const ScanResult& record, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return qText(record.title);
    case Qt::AccessibleDescriptionRole:
        return accessibleDescription(record);
    case Qt::CheckStateRole:
        return record.isSelected ? Qt::Checked : Qt::Unchecked;
    case Qt::DecorationRole:
        return record.icon && !record.icon->isEmpty() ? QVariant(record.icon->bitmap()) : QVariant();
    case subTitleLeftRole:
        return qText(record.subTitleLeft);
    case badgeRole:
        return qText(record.subTitleRight);
    case companyRole:
        return qText(record.company);
    case versionRole:
        return qText(record.version);
    case itemCountRole:
        return QVariant::fromValue(itemCount(record));
    case isShowDetailsRole:
        return record.isShowDetails;
    case RowTableView::expandedRole:
        return itemCount(record) > 0 ? QVariant(record.isShowDetails) : QVariant();
    default:
        return {};
    }
}

Qt::ItemFlags ScanResultTableModel::flags(const QModelIndex& index) const
{
    const ScanResultRow* row = rowAt(index.row());
    if (!row)
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return row->isParent() ? flags | Qt::ItemIsUserCheckable : flags;
}

QVariant ScanResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole))
        return screenText("IDS_BGX_63");
    return {};
}

bool ScanResultTableModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    const std::optional<std::int64_t> id = recordIdAt(index.row());
    if (role != Qt::CheckStateRole || !id)
        return false;
    const bool checked = value.value<Qt::CheckState>() == Qt::Checked;
    const std::optional<std::size_t> changed
        = scanResults().update([&](std::vector<ScanResult>& results) -> std::optional<std::size_t> {
              ScanResult* record = resultWithId(results, *id);
              if (!record)
                  return std::nullopt;
              record->isSelected = checked;
              return static_cast<std::size_t>(record - results.data());
          });
    if (changed)
        emitRowChanged(*changed, Qt::CheckStateRole);
    return changed.has_value();
}

bool ScanResultTableModel::toggleDetails(int row)
{
    const ScanResultRow* clicked = rowAt(row);
    if (!clicked || !clicked->isParent())
        return false;
    struct Change {
        std::size_t record;
        std::size_t shownItems;
    };
    const std::optional<Change> change = scanResults().update([&](std::vector<ScanResult>& results) -> std::optional<Change> {
        const ScanResult* own = recordOf(results, *clicked);
        ScanResult* target = own ? resultWithId(results, own->id) : nullptr;
        if (!target)
            return std::nullopt;
        target->isShowDetails = !own->isShowDetails;
        const auto shown = target->isShowDetails ? static_cast<std::size_t>(itemCount(*target)) : 0;
        return Change{static_cast<std::size_t>(target - results.data()), shown};
    });
    if (!change)
        return false;
    showPathRows(change->record, change->shownItems);
    emitRowChanged(change->record, isShowDetailsRole);
    return true;
}

void ScanResultTableModel::showPathRows(std::size_t record, std::size_t count)
{
    if (record >= rowOfRecord_.size())
        return;
    const int first = rowOfRecord_[record] + 1;
    const int end = record + 1 < rowOfRecord_.size() ? rowOfRecord_[record + 1] : static_cast<int>(rows_.size());
    // The records below move with each step, before the view hears of it.
    if (end > first) {
        beginRemoveRows({}, first, end - 1);
        rows_.erase(rows_.begin() + first, rows_.begin() + end);
        moveRecordsBelow(record, first - end);
        endRemoveRows();
    }
    if (count > 0) {
        beginInsertRows({}, first, first + static_cast<int>(count) - 1);
        std::vector<ScanResultRow> paths;
        for (std::size_t item = 0; item < count; ++item)
            paths.push_back({record, item});
        rows_.insert(rows_.begin() + first, paths.begin(), paths.end());
        moveRecordsBelow(record, static_cast<int>(count));
        endInsertRows();
    }
}

void ScanResultTableModel::moveRecordsBelow(std::size_t record, int rows)
{
    for (std::size_t after = record + 1; after < rowOfRecord_.size(); ++after)
        rowOfRecord_[after] += rows;
}

void ScanResultTableModel::emitRowChanged(std::size_t record, int role)
{
    if (record >= rowOfRecord_.size())
        return;
    const QModelIndex changed = index(rowOfRecord_[record], 0);
    emit dataChanged(changed, changed, {role});
}

std::optional<std::int64_t> ScanResultTableModel::recordIdAt(int row) const
{
    const ScanResultRow* each = rowAt(row);
    if (!each || !each->isParent())
        return std::nullopt;
    return scanResults().update([&](const std::vector<ScanResult>& results) -> std::optional<std::int64_t> {
        const ScanResult* record = recordOf(results, *each);
        return record ? std::optional(record->id) : std::nullopt;
    });
}

std::optional<std::string> ScanResultTableModel::pathAt(int row) const
{
    const ScanResultRow* each = rowAt(row);
    if (!each)
        return std::nullopt;
    return scanResults().update([&](const std::vector<ScanResult>& results) -> std::optional<std::string> {
        const ScanResultItem* item = itemOf(results, *each);
        return item ? item->path : std::nullopt;
    });
}

std::optional<ScanResultRow> ScanResultTableModel::placeAt(int row) const
{
    const ScanResultRow* each = rowAt(row);
    return each ? std::optional(*each) : std::nullopt;
}

int ScanResultTableModel::rowOfPlace(const ScanResultRow& place) const
{
    if (place.record >= rowOfRecord_.size())
        return -1;
    const int row = rowOfRecord_[place.record] + (place.item ? 1 + static_cast<int>(*place.item) : 0);
    const ScanResultRow* named = rowAt(row);
    return named && named->record == place.record && named->item == place.item ? row : -1;
}

QString ScanResultTableModel::keyOf(const ScanResultRow& place)
{
    return QString::number(place.record) + (place.item ? '/' + QString::number(*place.item) : QString());
}

int ScanResultTableModel::rowOfKey(const QString& key) const
{
    const QStringList parts = key.split('/');
    bool isNumber = false;
    ScanResultRow place{parts.front().toULongLong(&isNumber), std::nullopt};
    if (!isNumber || parts.size() > 2)
        return -1;
    if (parts.size() == 2) {
        place.item = parts.back().toULongLong(&isNumber);
        if (!isNumber)
            return -1;
    }
    return rowOfPlace(place);
}
