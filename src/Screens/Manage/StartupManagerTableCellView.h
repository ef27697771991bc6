#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

#include <map>

class RowTableView;

// Paints the startup-items table's rows (StartupItemsTableModel): the tick box that
// selects the item for deletion, its icon, name and publisher, and its on/off switch
// with the state text beside it, or, for an item whose program is missing, an alert
// image in place of the switch; a switch that takes no clicks is grey. The row's
// controls wear the focus ring while the keyboard is on them.
class StartupManagerTableCellView : public QStyledItemDelegate {
public:
    // The widths of the columns after the name, shared with the screen's headings.
    static constexpr int publisherWidth = 190;
    static constexpr int statusWidth = 150;
    static constexpr int rowHeight = 52;

    // Where each part of a row lies.
    struct Places {
        QRect tickBox, icon, name, company, toggle, alert, status;
    };
    static Places placesIn(const QRect& row);

    explicit StartupManagerTableCellView(RowTableView& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The switch as the controls draw it, on or off, green when it takes clicks.
    QPixmap switchPixmap(bool on, bool switchable, qreal pixelRatio) const;

    RowTableView& view_;
    mutable std::map<std::pair<bool, bool>, QPixmap> switches_;
};
