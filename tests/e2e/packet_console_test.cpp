// The Packet Console on in-memory lines: report bytes read by the poll timer
// become rows described as zelk_dump describes them; filter, pause, clear,
// copy and the 10 000-row bound; a packet typed in hex goes out framed and
// stuffed after a Yes, and bad input is refused in the window.
#include <gtest/gtest.h>

#include <sstream>

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "core/main_window.h"
#include "notify/receiver_notifier.h"
#include "support/monitor_gui.h"
#include "support/ui_script_gui.h"
#include "tools/dump/dump_run.h"
#include "views/form_packets.h"

namespace {

using Bytes = std::vector<uint8_t>;

// 0x41: time of week 3600 s, week 2100, UTC offset 18 s.
const Bytes kTime = {0x10, 0x41, 0x45, 0x61, 0x00, 0x00, 0x08, 0x34, 0x41, 0x90, 0x00, 0x00, 0x10, 0x03};
// 0x4A: latitude 0.5625 rad (3F 10 00 00: the 0x10 doubled on the line), longitude -1 rad,
// altitude 100 m, bias 0, fix at 3600 s.
const Bytes kPosition = {0x10, 0x4A, 0x3F, 0x10, 0x10, 0x00, 0x00, 0xBF, 0x80, 0x00, 0x00, 0x42, 0xC8,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x45, 0x61, 0x00, 0x00, 0x10, 0x03};
const std::string kTimeSummary = "tow=3600.000 week=2100 utcOffset=18.0";
const std::string kPositionSummary = "latDeg=32.22887598 lonDeg=-57.29577951 altM=100.000 biasNs=0.00 fixTime=3600.000";

std::string Cell(const QAbstractItemModel& rows, int row, int column)
{
    return rows.index(row, column).data().toString().toStdString();
}

// Direction, id, length, summary and hex of a row (the time is the PC's).
std::vector<std::string> RowWithoutTime(const QAbstractItemModel& rows, int row)
{
    std::vector<std::string> cells;
    for (int column = 1; column < rows.columnCount(); ++column)
        cells.push_back(Cell(rows, row, column));
    return cells;
}

template <class T>
T* Child(const char* name)
{
    T* child = Form_Packets->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(PacketConsole, RowsFromTheLineAreDescribedAsZelkDumpDoesAndCanBeFilteredPausedCopiedAndCleared)
{
    DisplayAndMonitored lines = StartDisplayAndMonitored(); // COM3 display, COM5 monitored
    ASSERT_TRUE(lines.display);
    ASSERT_EQ(Form_Packets->Com(), 3);
    const QAbstractItemModel& rows = Form_Packets->ShownRows();

    Feed(*lines.display, kTime);
    Feed(*lines.display, kPosition);
    Feed(*lines.monitored, kTime); // another port's packet: not this console's
    Tick();
    EXPECT_EQ(rows.rowCount(), 0) << "packets reach the table on the window's timer";
    Form_Packets->FlushRows();
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(RowWithoutTime(rows, 0),
              (std::vector<std::string>{"in", "41", "10", kTimeSummary, "45 61 00 00 08 34 41 90 00 00"}));
    EXPECT_EQ(RowWithoutTime(rows, 1),
              (std::vector<std::string>{"in", "4A", "20", kPositionSummary,
                                        "3F 10 00 00 BF 80 00 00 42 C8 00 00 00 00 00 00 45 61 00 00"}));

    // zelk_dump prints the same description of the same bytes.
    std::ostringstream dumped;
    Bytes both = kTime;
    both.insert(both.end(), kPosition.begin(), kPosition.end());
    DumpBuffer(both.data(), both.size(), false, dumped);
    EXPECT_EQ(dumped.str(), "41     @0        len 10  " + kTimeSummary + "\n" + "4A     @14       len 20  " +
                                kPositionSummary + "\n");

    Child<QLineEdit>("Edit_Filter")->setText("4a");
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(Cell(rows, 0, 2), "4A");
    Child<QLineEdit>("Edit_Filter")->clear();

    auto* pause = Child<QPushButton>("Button_Pause");
    pause->click();
    Feed(*lines.display, kTime);
    Tick();
    Form_Packets->FlushRows();
    EXPECT_EQ(rows.rowCount(), 2) << "paused: the view stands still";
    pause->click();
    ASSERT_EQ(rows.rowCount(), 3) << "resumed: nothing that came meanwhile is lost";
    EXPECT_EQ(Cell(rows, 2, 4), kTimeSummary);

    auto* table = Child<QTableView>("Table_Packets");
    table->selectionModel()->select(rows.index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table->selectionModel()->select(rows.index(0, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    Child<QPushButton>("Button_Copy")->click();
    const QStringList copied = QGuiApplication::clipboard()->text().split('\n');
    ASSERT_EQ(copied.size(), 3); // two lines and the end of the last
    EXPECT_EQ(copied[0].section('\t', 1).toStdString(),
              "in\t41\t10\t" + kTimeSummary + "\t45 61 00 00 08 34 41 90 00 00");
    EXPECT_EQ(copied[1].section('\t', 1, 3).toStdString(), "in\t4A\t20");
    EXPECT_EQ(copied[0].section('\t', 0, 0).toStdString(), Cell(rows, 0, 0));

    Child<QPushButton>("Button_Clear")->click();
    EXPECT_EQ(rows.rowCount(), 0);

    // Not chosen by hand, the console follows the display port.
    Form_Main->ChooseDisplayCom(5);
    Feed(*lines.monitored, kPosition);
    Tick();
    Form_Packets->FlushRows();
    EXPECT_EQ(Form_Packets->Com(), 5);
    ASSERT_GE(rows.rowCount(), 1);
    EXPECT_EQ(Cell(rows, 0, 1), "out") << "the Display list's queries to the new display port";
    EXPECT_EQ(RowWithoutTime(rows, rows.rowCount() - 1)[3], kPositionSummary);
}

TEST(PacketConsole, KeepsTheLastTenThousandRows)
{
    DisplayAndMonitored lines = StartDisplayAndMonitored();
    ASSERT_TRUE(lines.display);
    const int total = 10005;
    for (int n = 0; n < total; ++n) {
        const uint8_t count[2] = {static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)};
        Receivers().AnnouncePacketIn(2, 0x99, count, 2);
        if (n == 2)
            Form_Packets->FlushRows(); // some in the table, the rest waiting
    }
    Form_Packets->FlushRows();
    const QAbstractItemModel& rows = Form_Packets->ShownRows();
    ASSERT_EQ(rows.rowCount(), 10000);
    EXPECT_EQ(Cell(rows, 0, 5), "00 05") << "the five oldest went first";
    EXPECT_EQ(Cell(rows, 9999, 5), "27 14");
}

TEST(PacketConsole, ATypedPacketIsConfirmedThenSentFramedWithItsDleDoubled)
{
    ScriptedUi ui;
    DisplayAndMonitored lines = StartDisplayAndMonitored();
    ASSERT_TRUE(lines.display);
    TakeWritten(*lines.display);
    auto* edit = Child<QLineEdit>("Edit_Send");
    auto* send = Child<QPushButton>("Button_Send");
    auto* result = Child<QLabel>("Label_SendResult");

    struct Refused {
        QString typed;
        std::string error;
    };
    const std::vector<Refused> refused = {
        {"", "Type the packet in hex, id first (e.g. 8E 15)."},
        {"8E 1", "\"1\" has an odd number of digits: each byte takes two."},
        {"8E 0x15", "\"0x15\" is not hex: use the digits 0-9 and A-F."},
        {"8E" + QString(" 00").repeated(260), "A packet has at most 260 bytes; this one has 261."},
    };
    for (const Refused& r : refused) {
        edit->setText(r.typed);
        send->click();
        EXPECT_EQ(result->text().toStdString(), r.error) << r.typed.left(10).toStdString();
    }
    EXPECT_TRUE(ui.boxes.empty()) << "nothing to confirm";

    edit->setText("8e 10 03");
    ui.answers = {ui::Answer::No};
    send->click();
    EXPECT_TRUE(TakeWritten(*lines.display).empty());
    EXPECT_EQ(result->text().toStdString(), "Not sent.");

    ui.answers = {ui::Answer::Yes};
    send->click();
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text.toStdString(), "Send the packet 8E 10 03 to COM3?");
    EXPECT_EQ(ui.boxes[1].buttons, ui::Buttons::YesNo);
    EXPECT_EQ(TakeWritten(*lines.display), (Bytes{0x10, 0x8E, 0x10, 0x10, 0x03, 0x10, 0x03}));
    EXPECT_TRUE(TakeWritten(*lines.monitored).empty());
    Form_Packets->FlushRows();
    const QAbstractItemModel& rows = Form_Packets->ShownRows();
    ASSERT_EQ(rows.rowCount(), 1);
    EXPECT_EQ(RowWithoutTime(rows, 0), (std::vector<std::string>{"out", "8E", "2", "", "10 03"}));

    lines.display->gone = true; // unplugged: nothing to confirm, nothing sent
    Tick();
    send->click();
    EXPECT_EQ(result->text().toStdString(), "COM3 is not open: nothing was sent.");
    EXPECT_EQ(ui.boxes.size(), 2u);
}

} // namespace
