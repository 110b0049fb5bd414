#pragma once

#include <QRect>
#include <QStyledItemDelegate>

// Draws an item's text centred in the vertical direction of its cell, never outside the cell.
class VerticallyCenteredTextFieldCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The band of the frame, as high as the content, centred vertically; the frame itself when the content
    // is higher than the frame.
    static QRect centredInteriorRect(const QRect& frame, int contentHeight);
};
