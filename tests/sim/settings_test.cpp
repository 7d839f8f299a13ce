// Set commands change the receiver's state, and its reports show that state.
#include <gtest/gtest.h>

#include <cmath>

#include "sim_harness.h"

namespace {

template <typename R, bool (*F)(const uint8_t*, size_t, R&)>
R Only(const std::vector<SimPacket>& packets, const std::string& key)
{
    const auto matching = WithKey(packets, key);
    EXPECT_EQ(matching.size(), 1u) << key;
    R r{};
    if (!matching.empty()) {
        EXPECT_TRUE(F(matching[0].data.data(), matching[0].data.size(), r)) << key;
    }
    return r;
}

Command Make(CommandKind kind)
{
    Command c;
    c.kind = kind;
    return c;
}

TEST(SimulatorSettings, IoOptionsChooseThePeriodicReports)
{
    SimHarness h;
    auto second = h.Run(20);
    // Start-up options: single LLA, ENU velocity, GPS time.
    EXPECT_FALSE(WithKey(second, "4A").empty());
    EXPECT_FALSE(WithKey(second, "56").empty());
    EXPECT_TRUE(WithKey(second, "84").empty());

    Command set = Make(CommandKind::SetIoOptions);
    set.ioOptions = {0x16, 0x02, 0x01, 0x00}; // LLA, MSL, double, ENU, UTC
    const auto r55 = Only<Report55, ParseReport55>(h.Ask(set), "55");
    EXPECT_EQ(r55.position, 0x16);
    EXPECT_EQ(r55.timing, 0x01);

    second = h.Run(1);
    ASSERT_EQ(WithKey(second, "84").size(), 1u);
    EXPECT_TRUE(WithKey(second, "4A").empty());
    const auto time = Only<Report41, ParseReport41>(second, "41");
    const auto pos = Only<Report84, ParseReport84>(second, "84");
    // UTC fix time: GPS time of week less the 18 s offset.
    EXPECT_FLOAT_EQ(pos.fixTimeS, time.timeOfWeekS - 18.0f);
    // MSL altitude: 64 m above the ellipsoid less 40 m of geoid, within the wander.
    const SimOptions demo0 = DemoReceiverOptions(0);
    SimHarness place(demo0);
    place.Ask(set);
    place.Run(20);
    const auto p = Only<Report84, ParseReport84>(place.Run(1), "84");
    EXPECT_NEAR(p.altM, demo0.track.centre.altM - demo0.geoidSeparationM, 5.0);
    EXPECT_NEAR(p.latRad, demo0.track.centre.latRad, 1e-6);

    set.ioOptions = {0x01, 0x01, 0x00, 0x00}; // single ECEF, ECEF velocity, GPS
    h.Ask(set);
    second = h.Run(1);
    EXPECT_EQ(WithKey(second, "42").size(), 1u);
    EXPECT_EQ(WithKey(second, "43").size(), 1u);
    EXPECT_TRUE(WithKey(second, "56").empty());
}

TEST(SimulatorSettings, GpsConfigFiltersAndDatumReportBackWhatWasSet)
{
    SimHarness h;
    Command gps = Make(CommandKind::SetGpsConfig);
    gps.gpsConfig = {4, 3, 2, 0.17453294f, 6.5f, 9.0f, 7.0f, 44};
    EXPECT_TRUE(h.Ask(gps).empty());
    const auto bb = Only<ReportBB, ParseReportBB>(h.Ask({0xBB, 0x03}), "BB");
    EXPECT_EQ(bb.config.receiverMode, 4);
    EXPECT_EQ(bb.config.dgpsMode, 3);
    EXPECT_EQ(bb.config.dynamicsCode, 2);
    EXPECT_FLOAT_EQ(bb.config.elevationMaskRad, 0.17453294f);
    EXPECT_FLOAT_EQ(bb.config.signalMaskAmu, 6.5f);
    EXPECT_FLOAT_EQ(bb.config.pdopMask, 9.0f);
    EXPECT_FLOAT_EQ(bb.config.pdopSwitch, 7.0f);
    EXPECT_EQ(bb.config.dgpsAgeLimitS, 44);
    // Automatic DGPS without a correction source: "Auto (Diff. currently off)".
    EXPECT_EQ((Only<Report82, ParseReport82>(h.Ask({0x62, 0x04}), "82").dgpsMode), 2);

    Command filters = Make(CommandKind::SetFilters);
    filters.filters = {0, 1, 1, 0};
    const auto f = Only<Report70, ParseReport70>(h.Ask(filters), "70");
    EXPECT_EQ(f.positionVelocity, 0);
    EXPECT_EQ(f.staticFilter, 1);
    EXPECT_EQ(f.altitude, 1);

    Command datum = Make(CommandKind::SetDatum);
    datum.datumIndex = 179;
    EXPECT_EQ((Only<Report8F15, ParseReport8F15>(h.Ask(datum), "8F-15").datumIndex), 179);
    datum.datumIndex = 0xFFFF; // no such datum: the receiver keeps its own
    EXPECT_EQ((Only<Report8F15, ParseReport8F15>(h.Ask(datum), "8F-15").datumIndex), 179);
    // Datum 16 puts a 0x10 data byte on the line; it must come back whole.
    datum.datumIndex = 16;
    EXPECT_EQ((Only<Report8F15, ParseReport8F15>(h.Ask(datum), "8F-15").datumIndex), 16);
}

TEST(SimulatorSettings, BaudChangeTakesEffectOnTheLine)
{
    SimHarness h;
    EXPECT_EQ(h.sim.LineBaud(), 9600);
    Command set = Make(CommandKind::SetSerialConfig);
    set.serialConfig = {255, 8, 3, 0, 0, 2, 4, 0}; // "this port": 19200 8-N-1, NMEA out
    EXPECT_TRUE(h.Ask(set).empty());
    EXPECT_EQ(h.sim.LineBaud(), 19200);
    const auto bc = Only<ReportBC, ParseReportBC>(h.Ask({0xBC, 0x00}), "BC");
    EXPECT_EQ(bc.receiverPort, 0);
    EXPECT_EQ(bc.baudCode, 8);
    EXPECT_EQ(bc.parityCode, 0);
    EXPECT_EQ(bc.outputProtocol, 4);

    // Port 1 is another connector: this line keeps its rate.
    set.serialConfig = {1, 6, 3, 2, 1, 2, 2, 0};
    h.Ask(set);
    EXPECT_EQ(h.sim.LineBaud(), 19200);
    EXPECT_EQ((Only<ReportBC, ParseReportBC>(h.Ask({0xBC, 0x01}), "BC").baudCode), 6);

    // A code no line can run at is refused.
    set.serialConfig = {0, 12, 3, 1, 0, 2, 2, 0};
    h.Ask(set);
    EXPECT_EQ(h.sim.LineBaud(), 19200);
}

TEST(SimulatorSettings, SaveAndFactoryReset)
{
    SimHarness h;
    Command datum = Make(CommandKind::SetDatum);
    datum.datumIndex = 7;
    h.Ask(datum);
    EXPECT_EQ(WithKey(h.Ask(Make(CommandKind::SaveToFlash)), "8F-26").size(), 1u);
    EXPECT_EQ(h.sim.SavedSettings().datum, 7);

    Command factory = Make(CommandKind::ResetMode);
    factory.resetMode = kFactoryResetMode;
    const auto boot = h.Ask(factory);
    EXPECT_EQ(WithKey(boot, "45").size(), 1u); // a restarting receiver announces itself
    EXPECT_EQ(h.sim.Settings().datum, 0);
    EXPECT_EQ(h.sim.SavedSettings().datum, 0);
    // The almanac was erased with everything else.
    const auto status = Only<Report4B, ParseReport4B>(h.Ask({0x26}), "4B");
    EXPECT_EQ(status.statusBits & 0x08, 0x08);
    EXPECT_EQ(WithKey(h.Ask({0x38, 0x01, 2, 1}), "58").at(0).data.at(0), 3); // not available
}

TEST(SimulatorSettings, SetTimeIsAcceptedOnlyWhileTheSkyHasNotGivenTime)
{
    SimHarness h;
    Command cold = Make(CommandKind::ResetMode);
    cold.resetMode = kColdResetMode;
    h.Ask(cold);
    h.Run(1); // searching: channels hold satellites of the sky it believes in
    EXPECT_EQ((Only<Report46, ParseReport46>(h.Ask({0x26}), "46").statusCode), 1); // no GPS time

    Command t = Make(CommandKind::GpsTime);
    t.time = {561600.0f, 1170}; // 2002-06-15 12:00:00
    EXPECT_EQ((Only<Report4E, ParseReport4E>(h.Ask(t), "4E").answer), 'Y');
    const auto now = Only<Report41, ParseReport41>(h.Ask({0x21}), "41");
    EXPECT_EQ(now.week, 1170);
    EXPECT_FLOAT_EQ(now.timeOfWeekS, 561600.0f);
    EXPECT_EQ((Only<Report4E, ParseReport4E>(h.Ask(t), "4E").answer), 'N');
    // The receiver goes on from the time it was given.
    h.Run(20);
    EXPECT_TRUE(h.sim.HasFix());
    EXPECT_EQ((Only<Report41, ParseReport41>(h.Ask({0x21}), "41").week), 1170);
}

TEST(SimulatorSettings, GivenTimeRestartsTheSearchOfTheChannels)
{
    SimHarness h;
    Command cold;
    cold.kind = CommandKind::ResetMode;
    cold.resetMode = kColdResetMode;
    h.Ask(cold);
    h.Run(1); // searching: the channels hold satellites, none acquired yet
    // Ten minutes earlier than the receiver's own clock: nearly the same sky.
    const double given = h.sim.GpsSeconds() - 600;
    Command t;
    t.kind = CommandKind::GpsTime;
    t.time.week = static_cast<uint16_t>(given / 604800);
    t.time.timeOfWeekS = static_cast<float>(given - t.time.week * 604800.0);
    EXPECT_EQ((Only<Report4E, ParseReport4E>(h.Ask(t), "4E").answer), 'Y');
    h.Run(20);
    const auto channels = h.Ask({0x3C, 0x00});
    EXPECT_EQ(channels.size(), 8u);
    for (const SimPacket& p : channels) {
        Report5C r;
        ASSERT_TRUE(ParseReport5C(p.data.data(), p.data.size(), r));
        EXPECT_EQ(r.acquisitionFlag, 1) << "PRN " << int(r.prn);
    }
}

TEST(SimulatorSettings, ColdResetLosesTheFixAndFindsItAgain)
{
    SimHarness h;
    ASSERT_FALSE(WithKey(h.Run(20), "4A").empty());
    Command cold = Make(CommandKind::ResetMode);
    cold.resetMode = kColdResetMode;
    h.Ask(cold);
    const auto first = h.Run(1);
    EXPECT_TRUE(WithKey(first, "4A").empty());
    EXPECT_TRUE(WithKey(first, "41").empty()); // no time yet, so no periodic time
    EXPECT_EQ(WithKey(h.Ask({0x21}), "41").size(), 1u);
    const auto later = h.Run(20);
    EXPECT_FALSE(WithKey(later, "4A").empty());
    EXPECT_TRUE(h.sim.HasFix());
}

} // namespace

namespace {

Report6D FixMode(SimHarness& h)
{
    Report6D r;
    const auto p = WithKey(h.Ask({0x24}), "6D");
    EXPECT_EQ(p.size(), 1u);
    if (!p.empty()) {
        EXPECT_TRUE(ParseReport6D(p[0].data.data(), p[0].data.size(), r));
    }
    return r;
}

TEST(SimulatorSettings, ReceiverModeAndMasksDecideTheFix)
{
    SimHarness h;
    h.Run(20);
    ASSERT_EQ(FixMode(h).DimensionCode(), 4);

    Command gps;
    gps.kind = CommandKind::SetGpsConfig;
    gps.gpsConfig = FactorySettings().gps;
    gps.gpsConfig.receiverMode = 3; // horizontal only
    h.Ask(gps);
    h.Run(1);
    const Report6D twoD = FixMode(h);
    EXPECT_EQ(twoD.DimensionCode(), 3);
    EXPECT_EQ(twoD.fixModeBits & 0x08, 0x08); // a mode the user chose, not automatic

    // A signal mask no satellite reaches: no fix, and health says why.
    gps.gpsConfig = FactorySettings().gps;
    gps.gpsConfig.signalMaskAmu = 40.0f;
    h.Ask(gps);
    const auto second = h.Run(1);
    EXPECT_TRUE(WithKey(second, "4A").empty());
    EXPECT_EQ(FixMode(h).prnCount, 0);
    EXPECT_EQ((Only<Report46, ParseReport46>(second, "46").statusCode), 8); // "No usable satellites"
}

} // namespace
