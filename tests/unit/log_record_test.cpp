// The data log's record line, file names, interval text, week-end arithmetic,
// the shown last set, and the text files with CR LF line ends.
#include <gtest/gtest.h>

#include "model/formats/log_file.h"
#include "model/formats/log_record.h"
#include "support/temp_dir.h"

namespace {

LogSelection Only(std::initializer_list<LogField> fields)
{
    LogSelection s{};
    for (LogField f : fields)
        s[static_cast<size_t>(f)] = true;
    return s;
}

PortReportRecord Sample()
{
    PortReportRecord r;
    r.fixTime = 345600.5f;
    r.biasNs = 12.5;
    r.biasRatePpb = -0.25f;
    r.latchedPrn = {7, 12, 0, 0, 0, 0, 0, 3};
    r.latchedLevel = {35.0f, 41.3f, 0, 0, 0, 0, 0, 2.0f};
    r.fixSvs = {3, -7, 0, 0, 0, 0, 0, 0};
    r.latDeg = 37.5;
    r.lonDeg = -122.25;
    r.altM = 10;
    r.ecefX = 1;
    r.ecefY = 2;
    r.ecefZ = 3;
    r.velEast = 0.5f;
    r.velNorth = -1.5f;
    r.velUp = 0;
    r.velX = 4;
    r.velY = 5;
    r.velZ = 6;
    r.fixMode = 4;
    r.healthCode = 0;
    r.healthErrors = 2;
    r.statusFlags = 8;
    r.dgpsMode = 1;
    r.pdop = 1.5f;
    r.hdop = 2.0f;
    r.vdop = 3.1f;
    r.tdop = 0.9f;
    return r;
}

TEST(LogLine, DefaultSelectionIsTimeOfWeekWithTwoDecimals)
{
    EXPECT_EQ(BuildLogLine(Only({LogField::TOW}), Sample()), "345600.50 ");
}

TEST(LogLine, NothingSelectedIsAnEmptyLine)
{
    EXPECT_EQ(BuildLogLine(LogSelection{}, Sample()), "");
}

TEST(LogLine, EveryGroupInOrderWithItsFormat)
{
    LogSelection all;
    all.fill(true);
    const std::string expected = "345600.50 "
                                 "12.500000 "
                                 "-0.250000 "
                                 "135 35.0 12 41.3 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 131 2.0 "
                                 "37.500000 -122.250000 10.000000 "
                                 "1.000000 2.000000 3.000000 "
                                 "0.500000 -1.500000 0.000000 "
                                 "4.000000 5.000000 6.000000 "
                                 "4 "
                                 "0 2 8 "
                                 "1 "
                                 "1.5 2.0 3.1 0.9 ";
    EXPECT_EQ(BuildLogLine(all, Sample()), expected);
}

TEST(LogLine, EachGroupAlone)
{
    const PortReportRecord r = Sample();
    EXPECT_EQ(BuildLogLine(Only({LogField::Bias}), r), "12.500000 ");
    EXPECT_EQ(BuildLogLine(Only({LogField::BiasRate}), r), "-0.250000 ");
    EXPECT_EQ(BuildLogLine(Only({LogField::Mode, LogField::DGPS}), r), "4 1 ");
    EXPECT_EQ(BuildLogLine(Only({LogField::Health}), r), "0 2 8 ");
    EXPECT_EQ(BuildLogLine(Only({LogField::VelENU}), r), "0.500000 -1.500000 0.000000 ");
}

TEST(LogLine, EmptyChannelIsNeverMarkedInTheFix)
{
    PortReportRecord r; // fix list all 0, channels empty
    EXPECT_EQ(BuildLogLine(Only({LogField::Levels}), r), "0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 0 0.0 ");
}

TEST(LogLine, HugeValuesAreWrittenWhole)
{
    PortReportRecord r;
    r.biasNs = 1e300;
    const std::string line = BuildLogLine(Only({LogField::Bias}), r);
    EXPECT_EQ(line.size(), 301u + 7u + 1u); // 301 digits, ".000000", blank
    EXPECT_EQ(line.substr(0, 2), "10");
}

TEST(LogLine, LatchRestartAfterRecord)
{
    PortReportRecord r = Sample();
    r.chanPrn = {1, 2, 3, 4, 5, 6, 7, 8};
    r.chanLevel.fill(40.0f);
    RestartLevelLatch(r);
    for (int ch = 0; ch < kChannels; ++ch) {
        EXPECT_EQ(r.latchRestart[static_cast<size_t>(ch)], 1);
        EXPECT_EQ(r.chanPrn[static_cast<size_t>(ch)], 0);
        EXPECT_EQ(r.chanLevel[static_cast<size_t>(ch)], 0.0f);
    }
    // A channel without a report since keeps its latched pair.
    EXPECT_EQ(r.latchedPrn[0], 7);
    EXPECT_EQ(r.latchedLevel[0], 35.0f);
}

TEST(LogFileNames, RootAndComNumberAtAnyLength)
{
    EXPECT_EQ(LogFileName("data", 3), "data3.dat");
    EXPECT_EQ(LogFileName("/tmp/x/log", 16), "/tmp/x/log16.dat");
    const std::string root(300, 'r');
    EXPECT_EQ(LogFileName(root, 1), root + "1.dat");
}

TEST(LogInterval, ReadAsDecimalIntegerAtLeastOne)
{
    EXPECT_EQ(ParseLogInterval("1", 0), 1);
    EXPECT_EQ(ParseLogInterval("5", 1), 5);
    EXPECT_EQ(ParseLogInterval(" 12x", 1), 12);
    EXPECT_EQ(ParseLogInterval("2.9", 1), 2);
    EXPECT_EQ(ParseLogInterval("0", 7), 1);
    EXPECT_EQ(ParseLogInterval("-4", 7), 1);
    EXPECT_EQ(ParseLogInterval("abc", 7), 7);
    EXPECT_EQ(ParseLogInterval("", 0), 1);
    EXPECT_EQ(ParseLogInterval("99999999999999999999", 1), INT32_MAX);
}

TEST(ElapsedWeek, DifferenceAndWeekEnd)
{
    EXPECT_FLOAT_EQ(ElapsedWeekSeconds(10.0f, 4.0f), 6.0f);
    EXPECT_FLOAT_EQ(ElapsedWeekSeconds(0.5f, 604799.5f), 1.0f);
    EXPECT_FLOAT_EQ(ElapsedWeekSeconds(3.0f, 3.0f), 0.0f);
}

TEST(LastSet, BlanksBecomeSlashesWithoutTheFinalSeparator)
{
    EXPECT_EQ(LastSetText("345600.50 12.500000 "), " 345600.50/12.500000");
    EXPECT_EQ(LastSetText(""), " ");
}

TEST(LogFiles, LinesEndInCrLfAndAppend)
{
    TempDir dir;
    const std::string path = dir.file("data3.dat");
    ASSERT_TRUE(AppendLogLine(path, "1.00 "));
    ASSERT_TRUE(AppendLogLine(path, ""));
    EXPECT_EQ(ReadFileText(path), "1.00 \r\n\r\n");
    ASSERT_TRUE(CreateEmptyLogFile(path));
    EXPECT_EQ(ReadFileText(path), "");
}

TEST(LogFiles, UnwritablePlacesFail)
{
    TempDir dir;
    EXPECT_FALSE(AppendLogLine(dir.file("missing/data1.dat"), "x "));
    EXPECT_FALSE(CreateEmptyLogFile(dir.file("missing/data1.dat")));
    EXPECT_FALSE(AppendLogLine(dir.file(std::string(300, 'n') + ".dat"), "x ")); // name too long for the OS
}

} // namespace
