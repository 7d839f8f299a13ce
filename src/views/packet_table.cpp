#include "views/packet_table.h"

#include <QHeaderView>
#include <QScrollBar>

#include <algorithm>

void PacketTable::Append(const std::function<void()>& change, bool followEnd)
{
    // The row at the bottom of the view tells how far the drawn rows move: it
    // stays in the model unless every row in view was dropped.
    const int last = rowAt(viewport()->height() - 1);
    anchor_ = model() ? model()->index(last >= 0 ? last : model()->rowCount() - 1, 0) : QModelIndex();
    anchored_ = anchor_.isValid();
    anchorY_ = anchored_ ? rowViewportPosition(anchor_.row()) : 0;
    atEndsOnly_ = true;
    laidOutInFull_ = false;
    firstNew_ = -1;
    droppedAtFront_ = 0;
    appending_ = true;
    change();
    executeDelayedItemsLayout(); // here, while the change is known
    appending_ = false;
    if (laidOutInFull_) {
        if (followEnd)
            scrollToBottom();
        return;
    }
    // A move copies what is on screen only while nothing in view waits to be
    // drawn (Qt draws the whole view otherwise): one move, the new rows last.
    QWidget* view = viewport();
    if (followEnd)
        scrollToBottom(); // moves what is on screen when the scroll bar moves
    else if (droppedAtFront_ > 0 && verticalScrollMode() == QAbstractItemView::ScrollPerItem)
        // Scrolled up to read: the bar counts rows, and the rows read moved up as many as went.
        verticalScrollBar()->setValue(std::max(0, verticalScrollBar()->value() - droppedAtFront_));
    if (anchored_ && anchor_.isValid()) {
        // Otherwise the rows are still where they were drawn: placed where the
        // scroll bar says, what is on screen moves as far.
        const int drawnAt = rowViewportPosition(anchor_.row());
        updateGeometries();
        const int moved = rowViewportPosition(anchor_.row()) - drawnAt;
        if (std::abs(moved) >= view->height())
            view->update();
        else if (moved != 0)
            view->scroll(0, moved); // what it uncovers is drawn
    }
    anchor_ = QPersistentModelIndex();
    if (firstNew_ >= 0) {
        const int top = std::max(0, rowViewportPosition(firstNew_));
        if (top < view->height())
            view->update(0, top, view->width(), view->height() - top);
    }
}

void PacketTable::rowsInserted(const QModelIndex& parent, int start, int end)
{
    QTableView::rowsInserted(parent, start, end);
    if (!appending_)
        return;
    if (parent.isValid() || end + 1 != model()->rowCount())
        atEndsOnly_ = false;
    else if (firstNew_ < 0)
        firstNew_ = start;
}

void PacketTable::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    QTableView::rowsAboutToBeRemoved(parent, start, end);
    if (appending_ && (parent.isValid() || start != 0))
        atEndsOnly_ = false;
    else if (appending_)
        droppedAtFront_ += end - start + 1;
}

void PacketTable::doItemsLayout()
{
    // Rows added at the end move none of the rows in view, rows dropped from
    // the front move them all up by the same height. The layout keeps them
    // where they are drawn (the scroll that follows moves them on screen).
    // Anything else, or a change that took every row in view, is laid out and
    // drawn in full.
    if (appending_ && atEndsOnly_ && !(anchored_ && !anchor_.isValid()) &&
        verticalScrollMode() == QAbstractItemView::ScrollPerItem) {
        updateGeometries();
        verticalHeader()->setUpdatesEnabled(true); // as Qt's own layout does after a removal
        if (anchored_)
            verticalHeader()->setOffset(verticalHeader()->offset() + rowViewportPosition(anchor_.row()) - anchorY_);
        return;
    }
    laidOutInFull_ = true;
    QTableView::doItemsLayout();
}
