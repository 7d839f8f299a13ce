// Draws a table cell as Qt's own delegate does, with one text layout per cell
// instead of three. Qt's item drawing measures a cell's text for the layout,
// again to decide on eliding and a third time to draw it: in the Packet
// Console, whose rows all move at each second's flush, that shaping was most of
// the window's cost.
#pragma once

#include <QStyledItemDelegate>

class CellTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
