// The Trends window over history files written by the store: three receivers
// overlaid, the cursor reads each, "Next event" finds where COM2's port was
// lost and came back, and the Stability tab's table holds the statistics of
// each receiver's clock bias over the range shown.
#include <gtest/gtest.h>

#include <QTest>
#include <cmath>
#include <random>

#include "model/history_store.h"
#include "support/temp_dir.h"
#include "views/form_trends.h"
#include "views/trends_plot.h"

namespace {

constexpr int64_t kEnd = 1'800'000'000; // the range shown ends here
constexpr int64_t kHour = 3600;

void WriteReceiver(const std::string& folder, int index)
{
    std::mt19937_64 rng(static_cast<uint64_t>(index));
    std::normal_distribution<double> noise(0.0, 10e-9);
    HistoryWriter writer(folder);
    for (int64_t t = kEnd - kHour; t <= kEnd; ++t) {
        HistorySample s;
        s.unixSecond = t;
        const bool lost = index == 1 && t >= kEnd - 1800 && t < kEnd - 1740;
        s.state = lost ? PortState::Lost : PortState::Open;
        if (!lost) {
            s.fixDimension = 4;
            s.satellites = 6 + index;
            s.pdop = s.hdop = 1.5;
            s.clockBiasS = 1e-4 + 3e-9 * static_cast<double>(t - kEnd) + noise(rng);
            s.fixSecond = t + 18;
        }
        writer.Append(s);
    }
}

TEST(Trends, ThreeReceiversCursorEventsAndStability)
{
    TempDir root;
    for (int i = 0; i < 3; ++i)
        WriteReceiver(root.file(HistoryFolderName(i + 1, "/dev/ttyUSB" + std::to_string(i))), i);
    TForm_Trends form(root.path());
    form.show();
    form.RefreshReceivers(); // the first three are chosen
    form.SetQuantity(HistoryQuantity::Satellites);
    form.SetSpan(1, kEnd);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Loading(); }, 10000));

    form.Plot()->SetCursor(kEnd - 600);
    EXPECT_EQ(form.CursorText(), "2027-01-15 07:50:00   COM1: 6   COM2: 7   COM3: 8");
    form.Plot()->SetCursor(kEnd - 3000);
    form.NextEvent(); // COM2 lost
    EXPECT_EQ(form.Plot()->Cursor(), kEnd - 1800);
    EXPECT_EQ(form.CursorText(), "2027-01-15 07:30:00   COM1: 6   COM2: -   COM3: 8");
    form.NextEvent(); // and back
    EXPECT_EQ(form.Plot()->Cursor(), kEnd - 1740);
    form.NextEvent(); // nothing later: stays
    EXPECT_EQ(form.Plot()->Cursor(), kEnd - 1740);
    form.PreviousEvent();
    EXPECT_EQ(form.Plot()->Cursor(), kEnd - 1800);

    form.ComputeStability();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form.Computing(); }, 10000));
    const QStringList lines = form.StabilityText().split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(lines.size(), 3 * 8); // 1 s to 256 s for each receiver at least
    EXPECT_TRUE(lines[0].startsWith("receiver\ttau\tn\tadev\t"));
    const QStringList first = lines[1].split('\t');
    ASSERT_EQ(first.size(), 12);
    EXPECT_EQ(first[0], "COM1");
    EXPECT_EQ(first[1], "1");
    EXPECT_EQ(first[2].toInt(), 3601 - 2);
    // White phase noise of 10 ns: ADEV(1 s) near sqrt(3) * 1e-8, inside its bars.
    const double adev = first[3].toDouble(), low = first[4].toDouble(), high = first[5].toDouble();
    EXPECT_NEAR(adev, std::sqrt(3.0) * 1e-8, 0.1e-8);
    EXPECT_LT(low, adev);
    EXPECT_GT(high, adev);
    // COM2's run is the longer part around its lost minute.
    int com2Rows = 0;
    for (const QString& line : lines)
        if (line.startsWith("COM2\t1\t")) {
            EXPECT_EQ(line.split('\t')[2].toInt(), 1800 - 2);
            ++com2Rows;
        }
    EXPECT_EQ(com2Rows, 1);
}

} // namespace
