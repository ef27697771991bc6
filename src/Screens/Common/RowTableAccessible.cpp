#include "Screens/Common/RowTableAccessible.h"

#include "Screens/Common/RowTable.h"

#include <QAccessibleWidget>

#include <map>
#include <memory>
#include <vector>

namespace {

// The view numbers its children as a table with a header row and a header column,
// both hidden here: the corner, the column's header, then each row's header and cell.
constexpr int childrenPerRow = 2;
constexpr int columnHeaderChild = 1;

int cellChild(int row)
{
    return (row + 1) * childrenPerRow + 1;
}

bool isOn(const QVariant& state)
{
    return state.typeId() == QMetaType::Bool ? state.toBool() : state.value<Qt::CheckState>() == Qt::Checked;
}

QStringList keyBindingsOf(const QString& action)
{
    if (action == QAccessibleActionInterface::toggleAction())
        return {QStringLiteral("Space")};
    if (action == QAccessibleActionInterface::pressAction())
        return {QStringLiteral("Return")};
    if (action == QAccessibleActionInterface::showMenuAction())
        return {QStringLiteral("Menu")};
    return {};
}

class RowCell;

// One control of a row, as a check box.
class RowControlAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    RowControlAccessible(RowCell& cell, RowTableView& view, int control);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::CheckBox; }
    QString text(QAccessible::Text which) const override;
    QRect rect() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }

    QStringList actionNames() const override { return isValid() ? QStringList{toggleAction()} : QStringList{}; }
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString& name) const override { return keyBindingsOf(name); }

    int control() const { return control_; }
    // A state change event when the control is ticked or not since a reader last heard.
    void announceChange();

private:
    int row() const;
    bool isChecked() const;

    RowCell& cell_;
    RowTableView& view_;
    int control_;
    bool heardChecked_ = false;
};

// The column's header, a row's header (the corner without an item), or a row's cell,
// which follows its row's item.
class RowCell : public QAccessibleInterface, public QAccessibleTableCellInterface, public QAccessibleActionInterface {
public:
    enum class Kind { columnHeader, rowHeader, cell };

    // Made by `table`, which deletes it: the view is there for as long as the table is valid.
    RowCell(QAccessibleInterface& table, RowTableView& view, Kind kind, QString item, int row)
        : table_(table), view_(view), kind_(kind), item_(std::move(item)), lastRow_(row)
    {
    }
    ~RowCell() override
    {
        for (const auto& [control, id] : controls_)
            if (QAccessible::accessibleInterface(id))
                QAccessible::deleteAccessibleInterface(id);
    }

    bool isValid() const override { return table_.isValid() && (item_.isNull() || row() >= 0); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return table_.window(); }
    QAccessibleInterface* parent() const override { return &table_; }
    int childCount() const override { return kind_ == Kind::cell ? static_cast<int>(shownControls().size()) : 0; }
    QAccessibleInterface* child(int number) const override
    {
        const std::vector<int> shown = kind_ == Kind::cell ? shownControls() : std::vector<int>();
        return number >= 0 && static_cast<std::size_t>(number) < shown.size()
                   ? controlInterface(shown[static_cast<std::size_t>(number)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* control = dynamic_cast<const RowControlAccessible*>(child);
        if (!control || control->parent() != this)
            return -1;
        const std::vector<int> shown = shownControls();
        const auto found = std::find(shown.begin(), shown.end(), control->control());
        return found == shown.end() ? -1 : static_cast<int>(found - shown.begin());
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (int number = 0; number < childCount(); ++number)
            if (child(number)->rect().contains(x, y))
                return child(number);
        return nullptr;
    }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text which) const override
    {
        if (!isValid())
            return {};
        const int role = which == QAccessible::Name ? Qt::AccessibleTextRole
                         : which == QAccessible::Description ? Qt::AccessibleDescriptionRole
                                                             : -1;
        if (kind_ == Kind::columnHeader)
            return which == QAccessible::Name ? view_.model()->headerData(0, Qt::Horizontal).toString() : QString();
        return kind_ == Kind::cell && role >= 0 ? index().data(role).toString() : QString();
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
        state.selectable = true;
        state.selected = view_.currentIndex().row() == row();
        state.focused = view_.hasFocus() && view_.currentIndex().row() == row() && view_.currentControl() < 0;
        state.offscreen = !view_.viewport()->rect().intersects(view_.visualRect(index()));
        if (view_.rowControls().empty() && (index().flags() & Qt::ItemIsUserCheckable)) {
            state.checkable = true;
            state.checked = isOn(index().data(Qt::CheckStateRole));
        }
        if (const QVariant expanded = index().data(RowTableView::expandedRole); expanded.isValid()) {
            state.expandable = true;
            state.expanded = expanded.toBool();
            state.collapsed = !expanded.toBool();
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

    QStringList actionNames() const override
    {
        return isValid() && kind_ == Kind::cell ? view_.cellActionNames(row()) : QStringList();
    }
    QString localizedActionName(const QString& name) const override
    {
        const QString own = isValid() ? view_.cellActionName(row(), name) : QString();
        return own.isEmpty() ? QAccessibleActionInterface::localizedActionName(name) : own;
    }
    void doAction(const QString& name) override
    {
        if (actionNames().contains(name))
            view_.doCellAction(row(), name);
    }
    QStringList keyBindingsForAction(const QString& name) const override { return keyBindingsOf(name); }

    bool isSelected() const override { return isValid() && view_.currentIndex().row() == row(); }
    QList<QAccessibleInterface*> columnHeaderCells() const override
    {
        QAccessibleInterface* header = table_.child(columnHeaderChild);
        return header ? QList{header} : QList<QAccessibleInterface*>();
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return &table_; }

    int childNumber() const
    {
        switch (kind_) {
        case Kind::columnHeader:
            return columnHeaderChild;
        case Kind::rowHeader:
            return item_.isNull() ? 0 : cellChild(row()) - 1;
        case Kind::cell:
            break;
        }
        return cellChild(row());
    }

    // The row that shows the cell's item now; -1 when none does.
    int row() const
    {
        if (item_.isNull() || !view_.model())
            return -1;
        const int row = view_.rowOfItem(item_, lastRow_);
        if (row >= 0)
            lastRow_ = row;
        return row;
    }
    QModelIndex index() const { return view_.model()->index(row(), 0); }

    void announceControlChanges() const
    {
        for (const auto& [control, id] : controls_)
            if (QAccessibleInterface* made = QAccessible::accessibleInterface(id))
                static_cast<RowControlAccessible*>(made)->announceChange();
    }

    QAccessibleInterface* controlInterface(int control) const
    {
        if (const auto known = controls_.find(control); known != controls_.end())
            if (QAccessibleInterface* made = QAccessible::accessibleInterface(known->second))
                return made;
        auto* made = new RowControlAccessible(*const_cast<RowCell*>(this), view_, control);
        controls_[control] = QAccessible::registerAccessibleInterface(made);
        return made;
    }

private:
    std::vector<int> shownControls() const
    {
        std::vector<int> shown;
        const int at = row();
        for (int control = 0; static_cast<std::size_t>(control) < view_.rowControls().size(); ++control)
            if (view_.rowShowsControl(at, control))
                shown.push_back(control);
        return shown;
    }

    QAccessibleInterface& table_;
    RowTableView& view_;
    Kind kind_;
    QString item_; // none for the column's header and the corner
    mutable int lastRow_;
    mutable std::map<int, QAccessible::Id> controls_;
};

RowControlAccessible::RowControlAccessible(RowCell& cell, RowTableView& view, int control)
    : cell_(cell), view_(view), control_(control)
{
    heardChecked_ = isValid() && isChecked();
}

bool RowControlAccessible::isChecked() const
{
    return isOn(cell_.index().data(view_.rowControls()[static_cast<std::size_t>(control_)].checkedRole));
}

void RowControlAccessible::announceChange()
{
    if (!isValid() || isChecked() == heardChecked_)
        return;
    heardChecked_ = !heardChecked_;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

bool RowControlAccessible::isValid() const
{
    return cell_.isValid() && view_.rowShowsControl(row(), control_);
}

QWindow* RowControlAccessible::window() const
{
    return cell_.window();
}

QAccessibleInterface* RowControlAccessible::parent() const
{
    return &cell_;
}

int RowControlAccessible::row() const
{
    return cell_.row();
}

QString RowControlAccessible::text(QAccessible::Text which) const
{
    if (!isValid())
        return {};
    const int description = view_.rowControls()[static_cast<std::size_t>(control_)].descriptionRole;
    if (which == QAccessible::Name)
        return cell_.index().data(Qt::DisplayRole).toString();
    if (which == QAccessible::Description && description >= 0)
        return cell_.index().data(description).toString();
    return {};
}

QRect RowControlAccessible::rect() const
{
    const QRect place = isValid() ? view_.controlRect(row(), control_) : QRect();
    return place.isEmpty() ? QRect() : QRect(view_.viewport()->mapToGlobal(place.topLeft()), place.size());
}

QAccessible::State RowControlAccessible::state() const
{
    QAccessible::State state;
    if (!isValid()) {
        state.invalid = true;
        return state;
    }
    const bool takesInput = view_.rowHasControl(row(), control_);
    state.focusable = takesInput;
    state.disabled = !takesInput;
    state.checkable = true;
    state.checked = isChecked();
    state.focused = view_.hasFocus() && view_.currentIndex().row() == row() && view_.currentControl() == control_;
    state.offscreen = !view_.viewport()->rect().intersects(view_.controlRect(row(), control_));
    return state;
}

void RowControlAccessible::doAction(const QString& name)
{
    if (name == toggleAction() && isValid())
        view_.toggleControl(row(), control_);
}

class RowTableAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit RowTableAccessible(RowTableView& view) : QAccessibleWidget(&view, QAccessible::Table), view_(view) {}
    ~RowTableAccessible() override { forgetCells([](QAccessibleInterface&) { return true; }); }

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
        const RowCell::Kind kind = number == columnHeaderChild       ? RowCell::Kind::columnHeader
                                   : number % childrenPerRow == 0 ? RowCell::Kind::rowHeader
                                                                   : RowCell::Kind::cell;
        const QString item = row >= 0 ? itemKey(row) : QString();
        const CellKey key{kind, item};
        if (const auto known = cells_.find(key); known != cells_.end())
            if (QAccessibleInterface* cell = QAccessible::accessibleInterface(known->second))
                return cell;
        // A cell hands out its table as its parent, which the interface gives non-const.
        auto* cell = new RowCell(*const_cast<RowTableAccessible*>(this), view_, kind, item, row);
        cells_[key] = QAccessible::registerAccessibleInterface(cell);
        return cell;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const RowCell*>(child);
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
        QAccessibleInterface* cell = row >= 0 && view_.hasFocus() ? child(cellChild(row)) : nullptr;
        QAccessibleInterface* control = cell ? focusedRowControl(*cell, view_.currentControl()) : nullptr;
        return control ? control : cell;
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        return column == 0 && row >= 0 && row < rowCount() ? child(cellChild(row)) : nullptr;
    }
    int selectedCellCount() const override { return selectedRowCount(); }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        for (int row : selectedRows())
            cells << cellAt(row, 0);
        return cells;
    }
    QString columnDescription(int column) const override
    {
        return isValid() ? view_.model()->headerData(column, Qt::Horizontal).toString() : QString();
    }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return 1; }
    int rowCount() const override { return isValid() && view_.model() ? view_.model()->rowCount() : 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        const int row = isValid() ? view_.currentIndex().row() : -1;
        return row >= 0 ? QList{row} : QList<int>();
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override
    {
        if (row < 0 || row >= rowCount())
            return false;
        view_.setCurrentIndex(view_.model()->index(row, 0));
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    // Rows put in or taken out: the cells of items still listed stay (a reader may hold
    // one), those of items gone go. A list made again may name other items alike: its
    // cells are made anew.
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

    // Tells readers of the controls of `first` to `last` that changed, of the cells they know.
    void announceControlChanges(int first, int last) const
    {
        const auto announce = [](QAccessible::Id id) {
            if (auto* cell = static_cast<RowCell*>(QAccessible::accessibleInterface(id)))
                cell->announceControlChanges();
        };
        if (static_cast<std::size_t>(last - first + 1) <= cells_.size()) {
            for (int row = first; row <= last; ++row)
                if (const auto known = cells_.find(CellKey{RowCell::Kind::cell, itemKey(row)}); known != cells_.end())
                    announce(known->second);
            return;
        }
        for (const auto& [key, id] : cells_)
            if (const auto* cell = static_cast<RowCell*>(QAccessible::accessibleInterface(id));
                key.first == RowCell::Kind::cell && cell && cell->row() >= first && cell->row() <= last)
                announce(id);
    }

private:
    using CellKey = std::pair<RowCell::Kind, QString>;

    QString itemKey(int row) const { return view_.model()->index(row, 0).data(RowTableView::itemKeyRole).toString(); }

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

    RowTableView& view_;
    mutable std::map<CellKey, QAccessible::Id> cells_;
};

QAccessibleInterface* rowTableFactory(const QString& className, QObject* object)
{
    // The view's class adds no meta-object of its own: it is asked for as a QTableView.
    auto* view = className == QLatin1String("QTableView") ? dynamic_cast<RowTableView*>(object) : nullptr;
    return view ? new RowTableAccessible(*view) : nullptr;
}

} // namespace

void makeRowTableAccessible(RowTableView& view)
{
    static const bool installed = [] {
        QAccessible::installFactory(rowTableFactory);
        return true;
    }();
    (void)installed;
    // A screen reader may have asked for the view while it was being made, before it
    // could be told from a plain table: that answer is dropped.
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(&view);
    if (made && !dynamic_cast<RowTableAccessible*>(made))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void announceRowControlChanges(RowTableView& view, int first, int last)
{
    if (!QAccessible::isActive() || view.rowControls().empty())
        return;
    if (const auto* table = dynamic_cast<RowTableAccessible*>(QAccessible::queryAccessibleInterface(&view)))
        table->announceControlChanges(first, last);
}

QAccessibleInterface* focusedRowControl(QAccessibleInterface& cell, int control)
{
    auto* rowCell = dynamic_cast<RowCell*>(&cell);
    return rowCell && control >= 0 && rowCell->row() >= 0 ? rowCell->controlInterface(control) : nullptr;
}
