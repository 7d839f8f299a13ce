// The Packet Console's table moves the rows it has drawn when new rows come
// (and, past 10 000 rows, the oldest go) and draws only the new ones: what is
// on screen must still be exactly what a full repaint draws.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "notify/receiver_notifier.h"
#include "support/monitor_gui.h"
#include "views/cell_text_delegate.h"
#include "views/form_packets.h"

namespace {

class CountingDelegate : public CellTextDelegate {
public:
    using CellTextDelegate::CellTextDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        ++cells;
        CellTextDelegate::paint(painter, option, index);
    }
    mutable int cells = 0;
};

int g_sent = 0;

void Packets(int count)
{
    for (int n = 0; n < count; ++n, ++g_sent) {
        const uint8_t bytes[3] = {static_cast<uint8_t>(g_sent >> 16), static_cast<uint8_t>(g_sent >> 8),
                                  static_cast<uint8_t>(g_sent)};
        Receivers().AnnouncePacketIn(2, 0x99, bytes, 3); // COM3, the display port
    }
}

TEST(PacketConsole, NewRowsAreDrawnAloneAndTheScreenShowsWhatAFullRepaintDraws)
{
    DisplayAndMonitored lines = StartDisplayAndMonitored(); // COM3 display
    ASSERT_TRUE(lines.display);
    Form_Packets->resize(820, 360);
    Form_Packets->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_Packets));
    auto* table = Form_Packets->findChild<QTableView*>("Table_Packets");
    ASSERT_NE(table, nullptr);
    CountingDelegate counting(table);
    table->setItemDelegate(&counting);
    QWidget* view = table->viewport();
    const int columns = table->model()->columnCount();

    // One flush: returns the cells drawn, and checks the screen against a fresh drawing.
    auto flush = [&](int count, const char* when) {
        Packets(count);
        QApplication::processEvents();
        counting.cells = 0;
        Form_Packets->FlushRows();
        QApplication::processEvents(); // the repaint
        const int drawnCells = counting.cells;
        const QPoint at = view->mapTo(Form_Packets, QPoint(0, 0));
        const QImage onScreen = Form_Packets->screen()
                                    ->grabWindow(Form_Packets->winId(), at.x(), at.y(), view->width(), view->height())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QImage drawn = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_TRUE(onScreen == drawn) << when << ", " << table->model()->rowCount() << " rows";
        return drawnCells;
    };
    const int rowsInView = view->height() / table->verticalHeader()->defaultSectionSize();
    ASSERT_GE(rowsInView, 8);

    EXPECT_EQ(flush(3, "first rows"), 3 * columns);
    EXPECT_EQ(flush(2, "rows below them"), 2 * columns);
    flush(rowsInView, "the view filled: the scroll bar comes");
    for (int i = 0; i < 3; ++i) // the newest row in view: the rows drawn move up (rows cut at the edges drawn too)
        EXPECT_LE(flush(3, "scrolled"), (3 + 2) * columns);
    // The user scrolled up to read: the rows in view stay where they are.
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    const QString top = table->model()->index(table->rowAt(0), 5).data().toString();
    EXPECT_LE(flush(5, "scrolled up"), columns);
    EXPECT_EQ(table->model()->index(table->rowAt(0), 5).data().toString(), top) << "what the user reads stays";
    table->scrollToBottom();
    Packets(kMaxPacketRows - table->model()->rowCount() - 2);
    flush(0, "at the limit");
    for (int i = 0; i < 3; ++i) // as many rows go at the front as come at the end
        EXPECT_LE(flush(4, "past the limit"), (4 + 2) * columns);
    ASSERT_EQ(table->model()->rowCount(), kMaxPacketRows);
    // Scrolled up past the limit: the oldest rows go, the ones read stay in view.
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    const QString read = table->model()->index(table->rowAt(0), 5).data().toString();
    for (int i = 0; i < 2; ++i) {
        EXPECT_LE(flush(4, "scrolled up past the limit"), 2 * columns);
        EXPECT_EQ(table->model()->index(table->rowAt(0), 5).data().toString(), read) << "the rows read stay";
    }

    table->setItemDelegate(nullptr);
}

} // namespace
