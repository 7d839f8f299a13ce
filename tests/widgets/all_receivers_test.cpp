// The All Receivers window over three receivers on in-memory lines: the
// display port keeps reporting, a monitored one goes quiet, another is
// unplugged; a double-click on a row moves the main window to that receiver.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QImage>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTableWidget>
#include <QTest>

#include "core/main_window.h"
#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/main_ui.h"
#include "support/monitor_gui.h"
#include "views/form_packets.h"
#include "views/form_ports.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 0x4A: latitude 0.5 rad, longitude -1 rad, altitude 100 m, bias 0, fix at 3600 s (Sun 01:00).
const Bytes kPosition = {0x10, 0x4A, 0x3F, 0x00, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00, 0x42, 0xC8,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x45, 0x61, 0x00, 0x00, 0x10, 0x03};
// 0x6D: 3-D with 5 satellites, PDOP 2, HDOP 1, VDOP 1.5, TDOP 1, PRNs 1..5.
const Bytes kFix = {0x10, 0x6D, 0x54, 0x40, 0x00, 0x00, 0x00, 0x3F, 0x80, 0x00, 0x00, 0x3F, 0xC0, 0x00,
                    0x00, 0x3F, 0x80, 0x00, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x10, 0x03};

QStringList Row(const QString& com, const QString& device, const QString& state, const QString& seconds,
                const QString& fix, const QString& packets, const QString& bytes)
{
    return {com, device, state, seconds, fix, "28.647889", "-57.295779", "100.0 m", "Sun 01:00:00.00",
            packets, bytes};
}

TEST(AllReceivers, RowsShowEachPortsStateFixAndTrafficAndADoubleClickMakesItTheDisplayPort)
{
    // COM7's path is long: elided in the middle, it leaves the other columns in view.
    const std::string vanPath = "/dev/serial/by-id/usb-" + std::string(300, 'v') + "-if00-port0";
    std::vector<std::string> args = {"--com3=/dev/gps-roof", "--com5=tcp://gps-mast:4001", "--com7=" + vanPath};
    std::string error;
    ASSERT_TRUE(TakeComArguments(args, &error)) << error;
    DisplayAndMonitored lines = StartDisplayAndMonitored(); // COM3 display, COM5 monitored
    ASSERT_TRUE(lines.display);
    auto van = AttachFakeSerial(6);
    PortTable[6].monitored = 1;

    Feed(*lines.display, kPosition);
    Feed(*lines.display, kFix);
    Feed(*lines.monitored, kPosition);
    Feed(*van, kPosition);
    Tick();
    van->gone = true; // unplugged
    Tick(24);
    Feed(*lines.display, kPosition);
    Tick(); // 25 ticks: 5 s without a packet from COM5

    Form_Ports->Refresh();
    const std::vector<QStringList> expected = {
        Row("COM3", "/dev/gps-roof", "display", "0", "3-D (5 SV)", "3", "74"),
        Row("COM5", "tcp://gps-mast:4001", "quiet", "5", "-", "1", "24"),
        Row("COM7", QString("/dev/serial/by-id/usb-v") + QChar(0x2026) + "vvvvvvvvvvvvv-if00-port0", "lost", "5", "-", "1",
            "24"),
    };
    EXPECT_EQ(Form_Ports->Rows(), expected);

    Form_Ports->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_Ports));
    auto* table = Form_Ports->findChild<QTableWidget*>("Table_Ports");
    ASSERT_NE(table, nullptr);
    const QRect cell = table->visualItemRect(table->item(1, 0));
    // A double-click is a press, a release, then the second press.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(DisplayPort, 5);
    EXPECT_EQ(Main<QComboBox>("ComboBox_DisplayCom")->currentText().toStdString(), "COM5");
    EXPECT_EQ(Form_Main->windowTitle().toStdString(), "5 JX_Monitor");
    // The old display port was not monitored: the Display list's path closed it.
    const std::vector<QStringList> after = Form_Ports->Rows();
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0][0], "COM5");
    EXPECT_EQ(after[1][2], "lost");
}

// The tables of All Receivers and the Packet Console lay out each cell's text
// once and keep the layout (Qt's own delegate does it three times a paint):
// they must look exactly as Qt's own, same pixels for plain, bold, selected and
// elided cells, and after counts change and columns grow (no kept layout of an
// old text or width shows). And the All Receivers columns, measured again only
// when a text grows wider than any before, still hold every text.
TEST(AllReceivers, TablesDrawTheirCellsExactlyAsQtsOwnDelegateAndEveryTextFitsItsColumn)
{
    DisplayAndMonitored lines = StartDisplayAndMonitored(); // COM3 display (bold row), COM5 monitored
    ASSERT_TRUE(lines.display);
    for (int i = 0; i < 3; ++i)
        Feed(*lines.display, kPosition); // the summary is wider than its column: elided
    Feed(*lines.display, kFix);
    Feed(*lines.monitored, kPosition);
    Tick();
    Form_Ports->show();
    Form_Packets->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_Ports));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form_Packets));
    Form_Packets->FlushRows();
    auto* ports = Form_Ports->findChild<QTableWidget*>("Table_Ports");
    auto* packets = Form_Packets->findChild<QTableView*>("Table_Packets");
    ASSERT_TRUE(ports && packets);
    ASSERT_EQ(packets->model()->rowCount(), 4);
    ports->selectRow(1);
    packets->selectRow(2);
    auto drawnAsQtDraws = [&](const char* when) {
        for (QTableView* table : {static_cast<QTableView*>(ports), packets}) {
            const QImage ours = table->viewport()->grab().toImage();
            const QImage again = table->viewport()->grab().toImage(); // from the kept layouts
            QAbstractItemDelegate* own = table->itemDelegate();
            QStyledItemDelegate qts;
            table->setItemDelegate(&qts);
            const QImage theirs = table->viewport()->grab().toImage();
            table->setItemDelegate(own);
            EXPECT_FALSE(ours.isNull());
            EXPECT_TRUE(ours == theirs && again == theirs) << table->objectName().toStdString() << ", " << when;
        }
    };
    drawnAsQtDraws("first shown");
    // The display port's row is the table's own font in bold, not the application's.
    const QFont displayRow = ports->item(0, 0)->font();
    EXPECT_TRUE(displayRow.bold());
    EXPECT_EQ(QFontInfo(displayRow).pixelSize(), QFontInfo(ports->font()).pixelSize());
    EXPECT_FALSE(ports->item(1, 0)->data(Qt::FontRole).isValid());

    // 24 bytes to 1000 and more, 1 packet to 42: the columns follow.
    for (int i = 0; i < 41; ++i)
        Feed(*lines.monitored, kPosition);
    Tick();
    Form_Ports->Refresh();
    ASSERT_EQ(Form_Ports->Rows().at(1).at(9), "42");
    for (int row = 0; row < ports->rowCount(); ++row)
        for (int column = 0; column + 1 < ports->columnCount(); ++column) { // the last column stretches
            const QTableWidgetItem* item = ports->item(row, column);
            const QFont font = item->data(Qt::FontRole).isValid() ? item->font() : ports->font();
            // The cell: the column less the grid line; its text keeps a margin of 3 each side.
            EXPECT_LE(QFontMetricsF(font).horizontalAdvance(item->text()), ports->columnWidth(column) - 7)
                << item->text().toStdString();
        }
    packets->setColumnWidth(4, packets->columnWidth(4) / 2); // the summaries elided shorter
    // The hex elided to a few bytes: only the start of a long text is laid out.
    packets->horizontalHeader()->setStretchLastSection(false);
    packets->setColumnWidth(5, packets->fontMetrics().horizontalAdvance("00 11 22 33"));
    drawnAsQtDraws("after the counts grew and columns narrowed");
}

} // namespace
