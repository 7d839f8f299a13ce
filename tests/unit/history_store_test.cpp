// The one-second history on disk: records round-trip at their stated steps, a
// torn tail at any byte is ignored and repaired, a full disk is said once and
// loses nothing, days rotate and old days go.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>

#include <unistd.h>

#include "model/history_feed.h"
#include "model/history_series.h"
#include "model/history_store.h"
#include "model/port_reports.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace {

constexpr int64_t kDay = 20000 * kDaySeconds; // 2024-10-04 00:00 UTC

HistorySample SampleAt(int64_t t)
{
    HistorySample s;
    s.unixSecond = t;
    s.state = PortState::Open;
    s.fixDimension = 4;
    s.satellites = 7;
    s.latDeg = 37.3861234, s.lonDeg = -122.0839876, s.altM = 31.27;
    s.hdop = 1.17, s.vdop = 1.83, s.tdop = 0.96;
    s.clockBiasS = 1.234567890123e-4 + 1e-9 * static_cast<double>(t - kDay);
    s.biasRatePpb = -123.45;
    s.bestLevel = 48.25, s.meanLevel = 39.5;
    s.fixSecond = 345600 + (t - kDay);
    return s;
}

TEST(HistoryRecord, RoundTripAtItsSteps)
{
    HistorySample empty; // nothing reported yet, port quiet
    empty.unixSecond = kDay + 86399;
    empty.state = PortState::Quiet;
    HistorySample extreme = SampleAt(kDay);
    extreme.altM = 1e6, extreme.hdop = 99, extreme.satellites = 40, extreme.state = PortState::Lost;
    extreme.latDeg = -90, extreme.lonDeg = 180, extreme.biasRatePpb = -1e9;
    const HistorySample cases[] = {SampleAt(kDay + 4321), empty, extreme};
    for (const HistorySample& in : cases) {
        const bool clamped = &in == &cases[2];
        SCOPED_TRACE(in.unixSecond);
        uint8_t bytes[kHistoryRecordSize];
        EncodeHistoryRecord(in, kDay, bytes);
        HistorySample out;
        ASSERT_TRUE(DecodeHistoryRecord(bytes, kDay, &out));
        EXPECT_EQ(out.unixSecond, in.unixSecond);
        EXPECT_EQ(out.state, in.state);
        auto same = [](double a, double b, double step) {
            return (std::isnan(a) && std::isnan(b)) || std::fabs(a - b) <= step / 2 + 1e-12 * std::fabs(b);
        };
        if (!clamped) {
            EXPECT_EQ(out.fixDimension, in.fixDimension);
            EXPECT_EQ(out.satellites, in.satellites);
            EXPECT_TRUE(same(out.altM, in.altM, 0.01));
            EXPECT_TRUE(same(out.hdop, in.hdop, 0.01));
            EXPECT_TRUE(same(out.biasRatePpb, in.biasRatePpb, 0.01));
            EXPECT_EQ(out.fixSecond, in.fixSecond < 0 ? -1 : in.fixSecond & 0xFF);
        } else { // clamped to the field's range, never wrapped or taken for "none"
            EXPECT_EQ(out.satellites, 30);
            EXPECT_NEAR(out.altM, 83886.07, 0.01);
            EXPECT_NEAR(out.hdop, 40.94, 1e-9);
            EXPECT_NEAR(out.biasRatePpb, -83886.07, 0.01);
        }
        EXPECT_TRUE(same(out.latDeg, in.latDeg, 1e-7));
        EXPECT_TRUE(same(out.lonDeg, in.lonDeg, 1e-7));
        EXPECT_TRUE(same(out.clockBiasS, in.clockBiasS, 1e-12));
        EXPECT_TRUE(same(out.vdop, in.vdop, 0.01));
        EXPECT_TRUE(same(out.tdop, in.tdop, 0.01));
        EXPECT_TRUE(same(out.bestLevel, in.bestLevel, 0.25));
        EXPECT_TRUE(same(out.meanLevel, in.meanLevel, 0.25));
        EXPECT_TRUE(same(out.pdop, std::hypot(in.hdop, in.vdop), 0.02) || clamped);
        // Any single damaged byte is noticed.
        for (size_t i = 0; i < kHistoryRecordSize; ++i) {
            uint8_t bad[kHistoryRecordSize];
            std::copy(bytes, bytes + kHistoryRecordSize, bad);
            bad[i] ^= 0x10;
            EXPECT_FALSE(DecodeHistoryRecord(bad, kDay, &out)) << i;
        }
    }
    const uint8_t zeros[kHistoryRecordSize] = {};
    HistorySample out;
    EXPECT_FALSE(DecodeHistoryRecord(zeros, kDay, &out)); // a zero-filled tail after a crash
}

// A crash at every byte of the last record: what is whole reads back, the torn
// part is ignored, and the next append lands in step after it.
TEST(HistoryStore, TornLastRecordAtEveryOffset)
{
    for (size_t keep = 0; keep < kHistoryRecordSize; ++keep) {
        SCOPED_TRACE(keep);
        TempDir dir;
        const std::string folder = dir.file("COM1_ttyS0");
        {
            HistoryWriter writer(folder);
            for (int i = 0; i < 5; ++i)
                writer.Append(SampleAt(kDay + 100 + i));
        }
        const std::string path = HistoryDayPath(folder, kDay);
        ASSERT_EQ(std::filesystem::file_size(path), kHistoryHeaderSize + 5 * kHistoryRecordSize);
        std::filesystem::resize_file(path, kHistoryHeaderSize + 4 * kHistoryRecordSize + keep);
        EXPECT_EQ(ReadHistory(folder, kDay, kDay + kDaySeconds).size(), 4u);
        {
            HistoryWriter writer(folder);
            writer.Append(SampleAt(kDay + 200));
        }
        const std::vector<HistorySample> back = ReadHistory(folder, kDay, kDay + kDaySeconds);
        ASSERT_EQ(back.size(), 5u);
        EXPECT_EQ(back[3].unixSecond, kDay + 103);
        EXPECT_EQ(back[4].unixSecond, kDay + 200);
        EXPECT_DOUBLE_EQ(back[4].latDeg, 37.3861234);
    }
}

// A full disk (the file size limit): said once, monitoring goes on, the samples
// wait in memory and reach the file when there is room again.
TEST(HistoryStore, FullDiskSaidOnceNothingLost)
{
    TempDir dir;
    const std::string folder = dir.file("COM2_ttyUSB0");
    HistoryWriter writer(folder);
    writer.Append(SampleAt(kDay)); // opens the file and writes the header and one record
    ASSERT_TRUE(writer.Flush());
    {
        FileSizeLimit full(kHistoryHeaderSize + 3 * kHistoryRecordSize + 5);
        for (int i = 1; i < 100; ++i)
            writer.Append(SampleAt(kDay + i));
        EXPECT_FALSE(writer.Flush());
        const std::optional<std::string> error = writer.TakeError();
        ASSERT_TRUE(error);
        EXPECT_NE(error->find("History not saved in " + folder), std::string::npos) << *error;
        EXPECT_FALSE(writer.Flush());
        EXPECT_FALSE(writer.TakeError()); // once per spell
        EXPECT_EQ(writer.Pending(), 99u);
        // Whatever reached the disk is whole records.
        EXPECT_EQ((std::filesystem::file_size(HistoryDayPath(folder, kDay)) - kHistoryHeaderSize) %
                      kHistoryRecordSize,
                  0u);
    }
    EXPECT_TRUE(writer.Flush());
    const std::vector<HistorySample> back = ReadHistory(folder, kDay, kDay + kDaySeconds);
    ASSERT_EQ(back.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(back[static_cast<size_t>(i)].unixSecond, kDay + i);
}

TEST(HistoryStore, DaysRotateOldDaysGoAndAWeekFitsTwentyMegabytes)
{
    TempDir dir;
    const std::string folder = dir.file(HistoryFolderName(3, "/dev/ttyUSB0"));
    EXPECT_EQ(HistoryFolderName(3, "/dev/ttyUSB0"), "COM3_ttyUSB0");
    EXPECT_EQ(HistoryFolderName(12, "tcp://host:4001"), "COM12_tcp___host_4001");
    {
        HistoryWriter writer(folder, 2);
        for (int64_t day = 0; day < 4; ++day)
            for (int64_t t : {kDaySeconds - 2, kDaySeconds - 1})
                writer.Append(SampleAt(kDay + day * kDaySeconds + t));
        writer.Flush();
        EXPECT_EQ(ReadHistory(folder, kDay, kDay + 5 * kDaySeconds).size(), 8u);
        writer.Prune(kDay + 3 * kDaySeconds + 10);
    }
    const std::vector<HistorySample> kept = ReadHistory(folder, kDay, kDay + 5 * kDaySeconds);
    ASSERT_EQ(kept.size(), 4u); // the last two days
    EXPECT_EQ(kept.front().unixSecond, kDay + 3 * kDaySeconds - 2);
    EXPECT_EQ(HistoryFolders(dir.path()), std::vector<std::string>{folder});
    // Receivers are listed by COM number, not as text.
    for (const char* name : {"COM10_ttyUSB9", "COM2_ttyUSB1"})
        std::filesystem::create_directory(dir.file(name));
    const std::vector<std::string> listed = HistoryFolders(dir.path());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(std::filesystem::path(listed[0]).filename(), "COM2_ttyUSB1");
    EXPECT_EQ(listed[1], folder);
    EXPECT_EQ(std::filesystem::path(listed[2]).filename(), "COM10_ttyUSB9");
    // One record a second for seven days, with the daily headers.
    EXPECT_LT(7 * (kHistoryHeaderSize + kDaySeconds * kHistoryRecordSize), 20'000'000u);
}

// Clock bias is placed by the receiver's fix time: a report that reached the
// PC a second late keeps its place, a missing one leaves a gap.
TEST(HistoryStore, PhasePlacedByFixTime)
{
    std::vector<HistorySample> samples;
    for (int i = 0; i < 10; ++i)
        samples.push_back(SampleAt(kDay + i));
    samples[4].unixSecond += 1; // late: the PC saw fix 4 in second 5
    samples.erase(samples.begin() + 5); // ... and fix 5 never came
    samples[7].fixSecond = -1; // no position report in that second
    const std::vector<PhaseSample> phase = PhaseSamplesOf(samples);
    ASSERT_EQ(phase.size(), 8u);
    EXPECT_EQ(phase[4].second, kDay + 4);
    EXPECT_EQ(phase[5].second, kDay + 6);
    const PhaseRun run = LongestGapFreeRun(phase);
    EXPECT_EQ(run.phase.size(), 5u);
    EXPECT_EQ(run.gaps, 2u);
}

// A week of three receivers with irregular gaps, a port lost for five minutes,
// a fix lost for a while, a damaged record and a torn tail: the plot's min/max
// per column, made from the records as they are read, is what a brute-force
// pass over every record of the files gives; the events are the planted ones;
// the cursor's sample is the last record at or before it.
TEST(HistoryStore, DecimatedFromRecordsAsABruteForcePassOverThem)
{
    TempDir dir;
    const int64_t from = kDay + 5 * 3600 + 17, to = from + 7 * kDaySeconds;
    const int columns = 997; // no column edge falls on a whole second
    for (int r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        const std::string folder = dir.file(HistoryFolderName(r + 1, "/dev/ttyUSB" + std::to_string(r)));
        std::mt19937_64 rng(static_cast<uint64_t>(r) + 11);
        const int64_t lostAt = from + (r + 1) * 100000, fixLostAt = from + (r + 2) * 90000;
        std::vector<HistoryEvent> planted;
        {
            HistoryWriter writer(folder, 9);
            // The first receiver's days take more than one block read each.
            const uint64_t longestStep = r == 0 ? 3 : 200;
            for (int64_t t = kDay; t < kDay + 8 * kDaySeconds; t += 1 + static_cast<int64_t>(rng() % longestStep)) {
                HistorySample s = SampleAt(t);
                s.hdop = 0.5 + static_cast<double>(rng() % 1000) / 100;
                s.vdop = rng() % 7 == 0 ? NAN : 1.0;
                s.satellites = static_cast<int>(rng() % 13);
                const bool lost = t >= lostAt && t < lostAt + 300;
                const bool noFix = t >= fixLostAt && t < fixLostAt + 2000;
                if (lost)
                    s = HistorySample{.unixSecond = t, .state = PortState::Lost};
                s.fixDimension = lost ? -1 : noFix ? 1 : 4;
                const bool inRange = t >= from && t <= to;
                if (inRange && lost && (planted.empty() || planted.back().kind != HistoryEventKind::PortLost))
                    planted.push_back({t, HistoryEventKind::PortLost});
                if (inRange && !lost && t >= lostAt + 300 && t < lostAt + 600 && !planted.empty() &&
                    planted.back().kind == HistoryEventKind::PortLost)
                    planted.push_back({t, HistoryEventKind::PortReopened});
                if (inRange && noFix && (planted.empty() || planted.back().unixSecond < fixLostAt))
                    planted.push_back({t, HistoryEventKind::FixLost});
                writer.Append(s);
            }
        }
        std::sort(planted.begin(), planted.end(), [](auto& a, auto& b) { return a.unixSecond < b.unixSecond; });
        // Damage one record in the middle of a day and tear the last day's tail.
        const std::string middle = HistoryDayPath(folder, kDay + 3 * kDaySeconds);
        std::vector<uint8_t> bytes = ReadFileBytes(middle);
        bytes[kHistoryHeaderSize + 100 * kHistoryRecordSize + 9] ^= 0x40;
        std::ofstream(middle, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                      static_cast<std::streamsize>(bytes.size()));
        const std::string last = HistoryDayPath(folder, kDay + 7 * kDaySeconds);
        std::filesystem::resize_file(last, std::filesystem::file_size(last) - 5);

        // Brute force: every record of every file, each one's column by exact integers.
        std::vector<HistorySample> all;
        for (int64_t day = kDay; day < kDay + 8 * kDaySeconds; day += kDaySeconds) {
            const std::vector<uint8_t> file = ReadFileBytes(HistoryDayPath(folder, day));
            HistorySample s;
            for (size_t at = kHistoryHeaderSize; at + kHistoryRecordSize <= file.size(); at += kHistoryRecordSize)
                if (DecodeHistoryRecord(file.data() + at, day, &s))
                    all.push_back(s);
        }
        ASSERT_GT(all.size(), 6000u);
        for (const HistoryQuantity q : {HistoryQuantity::Pdop, HistoryQuantity::Satellites}) {
            std::vector<SeriesColumn> expected(static_cast<size_t>(columns));
            for (const HistorySample& s : all) {
                const double v = QuantityValue(s, q);
                if (s.unixSecond < from || s.unixSecond > to || std::isnan(v))
                    continue;
                const int64_t c = std::min<int64_t>((s.unixSecond - from) * columns / (to - from), columns - 1);
                SeriesColumn& e = expected[static_cast<size_t>(c)];
                e.min = std::isnan(e.min) ? v : std::min(e.min, v);
                e.max = std::isnan(e.max) ? v : std::max(e.max, v);
            }
            const DecimatedHistory d = ReadDecimated(folder, q, from, to, columns);
            ASSERT_EQ(d.columns.size(), expected.size());
            for (size_t c = 0; c < expected.size(); ++c) {
                const SeriesColumn &want = expected[c], &got = d.columns[c];
                ASSERT_TRUE(std::isnan(want.min) ? std::isnan(got.min) : want.min == got.min) << c;
                ASSERT_TRUE(std::isnan(want.max) ? std::isnan(got.max) : want.max == got.max) << c;
            }
            ASSERT_EQ(d.events.size(), planted.size());
            for (size_t i = 0; i < planted.size(); ++i) {
                EXPECT_EQ(d.events[i].unixSecond, planted[i].unixSecond);
                EXPECT_EQ(d.events[i].kind, planted[i].kind);
            }
        }
        std::vector<int64_t> times;
        for (int64_t day = 1; day < 8; ++day)
            times.push_back(kDay + day * kDaySeconds + 10); // the sample may be the day before's
        for (int i = 0; i < 200; ++i)
            times.push_back(kDay + static_cast<int64_t>(rng() % (8 * kDaySeconds)));
        for (const int64_t t : times) {
            auto after = std::upper_bound(all.begin(), all.end(), t,
                                          [](int64_t at, const HistorySample& s) { return at < s.unixSecond; });
            const HistorySample* expected =
                after != all.begin() && t - std::prev(after)->unixSecond <= 150 ? &*std::prev(after) : nullptr;
            const std::optional<HistorySample> got = ReadSampleAt(folder, t, 150);
            ASSERT_EQ(got.has_value(), expected != nullptr) << t;
            if (got) {
                EXPECT_EQ(got->unixSecond, expected->unixSecond);
            }
        }
    }
}

} // namespace

namespace {

// A sample from the port's record: a clock bias only from a new position
// report (never an old one repeated), ECEF fixes converted, nothing but the
// state from a quiet or lost port.
TEST(HistoryFeed, SampleOfPortTakesOnlyNewFixesAndNothingStale)
{
    PortRecord port;
    port.open = 1;
    PortReportRecord r;
    r.positionId = 0x83;
    r.ecefX = 6378137.0 + 100, r.ecefY = 0, r.ecefZ = 0; // on the equator at 0 E, 100 m up
    r.biasNs = 1234.5;
    r.fixTime = 345600;
    r.statusId = 0x46; // a health report came after the fix report: the fix still counts
    r.fixMode = r.fix.fixModeBits = 0x74; // 3-D, 7 satellites
    r.hdop = 1.2f;
    r.chanPrn[0] = 5, r.chanLevel[0] = 12, r.chanTimeout[0] = 3;
    r.chanPrn[1] = 9, r.chanLevel[1] = 8, r.chanTimeout[1] = 3;
    float lastFix = -1;
    const HistorySample first = SampleOfPort(port, r, kDay, &lastFix);
    EXPECT_EQ(first.state, PortState::Open);
    EXPECT_DOUBLE_EQ(first.clockBiasS, 1234.5e-9);
    EXPECT_EQ(first.fixSecond, 345600);
    EXPECT_NEAR(first.latDeg, 0, 1e-9);
    EXPECT_NEAR(first.altM, 100, 1e-3);
    EXPECT_EQ(first.fixDimension, 4);
    EXPECT_EQ(first.satellites, 7);
    EXPECT_EQ(first.bestLevel, 12);
    EXPECT_EQ(first.meanLevel, 10);
    const HistorySample again = SampleOfPort(port, r, kDay + 1, &lastFix);
    EXPECT_TRUE(std::isnan(again.clockBiasS));
    EXPECT_EQ(again.fixSecond, -1);
    EXPECT_EQ(again.satellites, 7);
    port.traffic.quietMs = 6000;
    const HistorySample quiet = SampleOfPort(port, r, kDay + 2, &lastFix);
    EXPECT_EQ(quiet.state, PortState::Quiet);
    EXPECT_EQ(quiet.satellites, -1);
    port.lost = 1;
    EXPECT_EQ(SampleOfPort(port, r, kDay + 3, &lastFix).state, PortState::Lost);
}

} // namespace
