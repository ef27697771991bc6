#include "Screens/Scan/ScanResultTableAccessible.h"

#include "Foundation/TextTable.h"
#include "Screens/Scan/ScanResultTableModel.h"
#include "Screens/Scan/ScanResultTableView.h"

#include <QAccessibleWidget>

#include <map>
#include <optional>
#include <tuple>

namespace {

using Model = ScanResultTableModel;

// The view numbers its children as a table with a header row and a header column,
// both hidden here: the corner, the column's header, then each row's header and cell.
constexpr int childrenPerRow = 2;

int cellChild(int row)
{
    return (row + 1) * childrenPerRow + 1;
}

class ResultCell : public QAccessibleInterface,
                   public QAccessibleTableCellInterface,
                   public QAccessibleActionInterface {
public:
    // The column's header, a row's header (the corner without a place), or a row's cell.
    enum class Kind { columnHeader, rowHeader, cell };

    // Made by `table`, which deletes it: the view is there for as long as the table is
    // valid. A row's header and cell follow the place in the list their row names, so
    // they outlive rows put in or taken out above them.
    ResultCell(QAccessibleInterface& table, ScanResultTableView& view, Kind kind, std::optional<ScanResultRow> place)
        : table_(table), view_(view), kind_(kind), place_(place)
    {
    }

    bool isValid() const override { return table_.isValid() && (!place_ || row() >= 0); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return table_.window(); }
    QAccessibleInterface* parent() const override { return &table_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text which) const override
    {
        if (!isValid())
            return {};
        if (kind_ == Kind::columnHeader)
            return which == QAccessible::Name ? view_.resultsModel().headerData(0, Qt::Horizontal).toString()
                                              : QString();
        if (kind_ == Kind::rowHeader)
            return {};
        switch (which) {
        case QAccessible::Name:
            return index().data(Qt::AccessibleTextRole).toString();
        case QAccessible::Description:
            return index().data(Qt::AccessibleDescriptionRole).toString();
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!isValid() || kind_ != Kind::cell)
            return {}; // the view's headers are hidden
        const QRect place = view_.visualRect(index());
        return {view_.viewport()->mapToGlobal(place.topLeft()), place.size()};
    }

    QAccessible::Role role() const override
    {
        switch (kind_) {
        case Kind::columnHeader:
            return QAccessible::ColumnHeader;
        case Kind::rowHeader:
            return QAccessible::RowHeader;
        case Kind::cell:
            break;
        }
        return QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        if (kind_ != Kind::cell) {
            state.invisible = true;
            return state;
        }
        state.focusable = true;
        state.focused = view_.hasFocus() && view_.currentIndex().row() == row();
        state.offscreen = !view_.viewport()->rect().intersects(view_.visualRect(index()));
        if (isRecord()) {
            state.checkable = true;
            state.checked = index().data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
            if (index().data(Model::itemCountRole).toLongLong() > 0) {
                state.expandable = true;
                state.expanded = shown();
                state.collapsed = !shown();
            }
        }
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (kind_ == Kind::cell && type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (kind_ == Kind::cell && type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* header = table_.child(1);
        return header ? QList{header} : QList<QAccessibleInterface*>();
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return &table_; }

    QStringList actionNames() const override
    {
        if (!isValid() || kind_ != Kind::cell)
            return {};
        if (isRecord())
            return {toggleAction(), pressAction()};
        return {showMenuAction()};
    }

    QString localizedActionName(const QString& name) const override
    {
        if (name == pressAction() && isValid() && isRecord())
            return screenText(shown() ? "IDS_BGX_71" : "IDS_BGX_72");
        return QAccessibleActionInterface::localizedActionName(name);
    }

    void doAction(const QString& name) override
    {
        if (!actionNames().contains(name))
            return;
        if (name == toggleAction()) {
            view_.toggleTick(row());
        } else if (name == pressAction()) {
            view_.toggleDetails(row());
        } else {
            view_.setCurrentIndex(index());
            emit view_.customContextMenuRequested(view_.visualRect(index()).center());
        }
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name == toggleAction())
            return {QStringLiteral("Space")};
        if (name == pressAction())
            return {QStringLiteral("Return")};
        if (name == showMenuAction())
            return {QStringLiteral("Menu")};
        return {};
    }

    int childNumber() const
    {
        switch (kind_) {
        case Kind::columnHeader:
            return 1;
        case Kind::rowHeader:
            return place_ ? cellChild(row()) - 1 : 0;
        case Kind::cell:
            break;
        }
        return cellChild(row());
    }

private:
    int row() const { return place_ ? view_.resultsModel().rowOfPlace(*place_) : -1; }
    QModelIndex index() const { return view_.resultsModel().index(row(), 0); }
    bool isRecord() const { return kind_ == Kind::cell && view_.resultsModel().isParentRow(row()); }
    bool shown() const { return index().data(Model::isShowDetailsRole).toBool(); }

    QAccessibleInterface& table_;
    ScanResultTableView& view_;
    Kind kind_;
    std::optional<ScanResultRow> place_;
};

class ResultTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit ResultTable(ScanResultTableView& view) : QAccessibleWidget(&view, QAccessible::Table), view_(view) {}
    ~ResultTable() override
    {
        forgetCells([](QAccessibleInterface&) { return true; });
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // No rows once the view is being destroyed (the base reports it invalid).
    int childCount() const override { return isValid() ? (rowCount() + 1) * childrenPerRow : 0; }

    QAccessibleInterface* child(int number) const override
    {
        if (number < 0 || number >= childCount())
            return nullptr;
        const int row = number / childrenPerRow - 1;
        const ResultCell::Kind kind = number == 1                         ? ResultCell::Kind::columnHeader
                                      : number % childrenPerRow == 0 ? ResultCell::Kind::rowHeader
                                                                      : ResultCell::Kind::cell;
        const std::optional<ScanResultRow> place = row >= 0 ? view_.resultsModel().placeAt(row) : std::nullopt;
        const CellKey key = keyOf(kind, place);
        if (const auto known = cells_.find(key); known != cells_.end())
            if (QAccessibleInterface* cell = QAccessible::accessibleInterface(known->second))
                return cell;
        // A cell hands out its table as its parent, which the interface gives non-const.
        auto* cell = new ResultCell(*const_cast<ResultTable*>(this), view_, kind, place);
        cells_[key] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const ResultCell*>(child);
        return cell && cell->table() == this ? cell->childNumber() : -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        if (!isValid())
            return nullptr;
        const QPoint point = view_.viewport()->mapFromGlobal(QPoint(x, y));
        const int row = view_.rowAt(point.y());
        return view_.viewport()->rect().contains(point) && row >= 0 ? child(cellChild(row)) : nullptr;
    }

    QAccessibleInterface* focusChild() const override
    {
        const int row = isValid() ? view_.currentIndex().row() : -1;
        return row >= 0 && view_.hasFocus() ? child(cellChild(row)) : nullptr;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return column == 0 && row >= 0 && row < rowCount() ? child(cellChild(row)) : nullptr;
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override
    {
        return isValid() ? view_.resultsModel().headerData(column, Qt::Horizontal).toString() : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return 1; }
    int rowCount() const override { return isValid() ? view_.resultsModel().rowCount() : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Paths shown or hidden put rows in or take them out: the cells of rows still there
    // stay (a reader may hold one), those of rows gone go. A rebuilt list may name other
    // records at the same places: its cells are made anew.
    void modelChange(QAccessibleTableModelChangeEvent* event) override
    {
        switch (event->modelChangeType()) {
        case QAccessibleTableModelChangeEvent::DataChanged:
            return;
        case QAccessibleTableModelChangeEvent::RowsInserted:
        case QAccessibleTableModelChangeEvent::RowsRemoved:
            forgetCells([](QAccessibleInterface& cell) { return !cell.isValid(); });
            return;
        default:
            forgetCells([](QAccessibleInterface&) { return true; });
        }
    }

private:
    // The kind of a child and the place its row names (none for the column's header and the corner).
    using CellKey = std::tuple<ResultCell::Kind, std::optional<std::size_t>, std::optional<std::size_t>>;

    static CellKey keyOf(ResultCell::Kind kind, const std::optional<ScanResultRow>& place)
    {
        return {kind, place ? std::optional(place->record) : std::nullopt, place ? place->item : std::nullopt};
    }

    template <class Forget>
    void forgetCells(Forget&& forget)
    {
        std::erase_if(cells_, [&](const auto& known) {
            QAccessibleInterface* cell = QAccessible::accessibleInterface(known.second);
            if (cell && !forget(*cell))
                return false;
            if (cell)
                QAccessible::deleteAccessibleInterface(known.second);
            return true;
        });
    }

    ScanResultTableView& view_;
    mutable std::map<CellKey, QAccessible::Id> cells_;
};

QAccessibleInterface* resultTableFactory(const QString& className, QObject* object)
{
    // The view's class adds no meta-object of its own: it is asked for as a QTableView.
    auto* view = className == QLatin1String("QTableView") ? dynamic_cast<ScanResultTableView*>(object) : nullptr;
    return view ? new ResultTable(*view) : nullptr;
}

} // namespace

void makeAccessible(ScanResultTableView& view)
{
    static const bool installed = [] {
        QAccessible::installFactory(resultTableFactory);
        return true;
    }();
    (void)installed;
    // A screen reader may have asked for the view while it was being made, before it
    // could be told from a plain table: that answer is dropped.
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&view);
    if (made && !dynamic_cast<ResultTable*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}
