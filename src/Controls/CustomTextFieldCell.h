#pragma once

#include <QStyledItemDelegate>

// A table cell whose text is drawn and edited in one band centred vertically in the
// cell, as high as the text.
class CustomTextFieldCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The band of the text: the cell's width and the text's height, centred.
    static QRect centredRect(const QRect& frame, int textHeight);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    QStyleOptionViewItem centredOption(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};
