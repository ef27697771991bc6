#pragma once

#include "Screens/Common/RowTableModel.h"

class LaunchAgent;
class LoginItem;
class StartupItemsModel;

// The startup-items table's rows: the list the screen shows, one column, read from
// the screen's model when the view asks. Qt::DisplayRole is the item's name,
// Qt::CheckStateRole its tick, Qt::DecorationRole its icon (a QImage), Qt::ToolTipRole
// what tells it apart (label, plist or application, last failure); screen readers
// read the row by its name, described by its publisher and state under their
// captions and by what tells it apart, as the results table's rows read.
class StartupItemsTableModel : public RowTableModel {
public:
    enum Role {
        companyRole = Qt::UserRole,
        statusRole,     // "Enabled", "Disabled", or "Not found" for an item whose program is missing
        switchOnRole,   // bool
        switchShownRole, // the item has a switch (its program is known)
        switchableRole, // the switch takes clicks (not a service-management login item's)
    };

    StartupItemsTableModel(const StartupItemsModel& items, QObject* parent);

    // What names an item (RowTableView::itemKeyRole): where it lives and its label.
    static QString itemKey(const LoginItem& item);
    static QString itemKey(const LaunchAgent& agent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    template <class Record> QVariant recordData(const Record& item, bool switchable, int role) const;

    const StartupItemsModel& items_;
};
