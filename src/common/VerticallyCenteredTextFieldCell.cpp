#include "common/VerticallyCenteredTextFieldCell.h"

void VerticallyCenteredTextFieldCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const
{
    QStyleOptionViewItem centred(option);
    centred.rect = centredInteriorRect(option.rect, sizeHint(option, index).height());
    QStyledItemDelegate::paint(painter, centred, index);
}

QRect VerticallyCenteredTextFieldCell::centredInteriorRect(const QRect& frame, int contentHeight)
{
    const QRect band(frame.x(), frame.y() + (frame.height() - contentHeight) / 2, frame.width(), contentHeight);
    return frame.intersected(band);
}
