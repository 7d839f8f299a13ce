// The Packet Console's table. Rows come at the end, and past the limit the
// oldest go from the front, once a second; Qt repaints the whole table after
// any such change, so every visible cell was drawn again each second. Here the
// rows already drawn are moved on screen and only the new rows are drawn.
#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

#include <functional>

class PacketTable : public QTableView {
public:
    using QTableView::QTableView;

    // Runs change, which appends rows to the model and may drop rows from its
    // front; then scrolls to the newest row if followEnd, or else keeps the
    // rows the user reads in view. The rows that stay are moved on screen,
    // not drawn again.
    void Append(const std::function<void()>& change, bool followEnd);

protected:
    void doItemsLayout() override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    bool appending_ = false;
    bool atEndsOnly_ = true;       // false: a change elsewhere, repainted in full
    bool laidOutInFull_ = false;   // Qt's own layout ran: everything is repainted
    int firstNew_ = -1;            // the first appended row, -1: none
    int droppedAtFront_ = 0;       // rows dropped from the front by the change
    bool anchored_ = false;        // a row was in view before the change
    QPersistentModelIndex anchor_; // the last of them
    int anchorY_ = 0;
};
