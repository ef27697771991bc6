#include "Controls/CustomTextFieldCell.h"

#include <QWidget>

QRect CustomTextFieldCell::centredRect(const QRect& frame, int textHeight)
{
    const int height = std::min(textHeight, frame.height());
    return {frame.x(), frame.y() + (frame.height() - height) / 2, frame.width(), height};
}

QStyleOptionViewItem CustomTextFieldCell::centredOption(const QStyleOptionViewItem& option,
                                                        const QModelIndex& index) const
{
    QStyleOptionViewItem centred(option);
    initStyleOption(&centred, index);
    // The cell's size for its frame: the text laid out in the frame's width.
    centred.rect = centredRect(option.rect, sizeHint(option, index).height());
    return centred;
}

void CustomTextFieldCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, centredOption(option, index), index);
}

void CustomTextFieldCell::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& index) const
{
    editor->setGeometry(centredOption(option, index).rect);
}
