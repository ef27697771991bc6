#pragma once

#include <QStyledItemDelegate>

class ScanResultTableView;

// Paints the results table's rows (a record's row: checkbox, icon, title over the
// threat line and its badge, company, version, the number of paths and the link that
// shows or hides them; a path row: the path) and takes the link's clicks, which expand
// or collapse the record (the checkbox is the view's row control). The current
// row wears a focus ring while the table has the keyboard. Titles and paths too long
// for their place are shortened in the middle; every text shows whole in its tool
// tip. Texts are drawn as plain text.
class ScanResultItemDelegate : public QStyledItemDelegate {
public:
    explicit ScanResultItemDelegate(ScanResultTableView& view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;

private:
    void paintParent(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintChild(QPainter& painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    bool mouseEvent(const QMouseEvent& event, const QStyleOptionViewItem& option, const QModelIndex& index);

    ScanResultTableView& view_;
};
