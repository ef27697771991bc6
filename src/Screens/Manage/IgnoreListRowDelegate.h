#pragma once

#include <QStyledItemDelegate>

class RowTableView;

// Paints the ignore list's rows (IgnoreListTableModel): the file's icon, its path,
// shortened in the middle where it is too long, and its tick box at the right; the
// tick box wears the focus ring while the keyboard is on it.
class IgnoreListRowDelegate : public QStyledItemDelegate {
public:
    static constexpr int rowHeight = 44;

    // Where a row's tick box lies.
    static QRect tickBoxIn(const QRect& row);

    explicit IgnoreListRowDelegate(RowTableView& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    RowTableView& view_;
};
