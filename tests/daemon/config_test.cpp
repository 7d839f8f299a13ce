// The configuration file: a complete file is taken as written; any error is
// refused with its file, line and reason, all errors at once.
#include <gtest/gtest.h>

#include "daemon/daemon_config.h"
#include "support/temp_dir.h"

namespace {

std::vector<ConfigError> Load(const std::string& text, DaemonConfig& config, TempDir& dir)
{
    const std::string file = dir.file("jx-monitord.conf");
    WriteFileText(file, text);
    return LoadDaemonConfig(file, config);
}

} // namespace

TEST(DaemonConfig, TheDocumentedExampleIsTakenWithItsComments)
{
    TempDir dir;
    DaemonConfig config;
    const auto errors = Load("[metrics]\n"
                             "listen = 0.0.0.0:9800        ; every address\n"
                             "[ports]\n"
                             "COM1 = /dev/serial/by-id/usb-x-if00-port0\n"
                             "COM16 = rfc2217://station-b:4001\n"
                             "[alarms]\n"
                             "raise_after = 2.5\n"
                             "clear_after = 0\n"
                             "no_packet_after = 7\n"
                             "min_satellites = 5\n"
                             "max_pdop = 4.5\n"
                             "# a comment\n"
                             "[recording]\n"
                             "directory = /var/lib/jx-monitord\n"
                             "rotate = daily\n"
                             "keep_days = 7\n",
                             config, dir);
    ASSERT_TRUE(errors.empty()) << errors[0].Text();
    EXPECT_EQ(config.listenHost, "0.0.0.0");
    EXPECT_EQ(config.listenPort, 9800);
    EXPECT_EQ(config.ports, (std::map<int, std::string>{{1, "/dev/serial/by-id/usb-x-if00-port0"},
                                                         {16, "rfc2217://station-b:4001"}}));
    EXPECT_EQ(config.alarms.raiseAfterS, 2.5);
    EXPECT_EQ(config.alarms.clearAfterS, 0);
    EXPECT_EQ(config.alarms.noPacketAfterS, 7);
    EXPECT_EQ(config.alarms.minSatellites, 5);
    EXPECT_EQ(config.alarms.maxPdop, 4.5);
    EXPECT_EQ(config.recording.directory, "/var/lib/jx-monitord");
    EXPECT_EQ(config.recording.rotate, Rotation::Daily);
    EXPECT_EQ(config.recording.keepDays, 7);
}

TEST(DaemonConfig, EveryErrorIsRefusedWithItsLine)
{
    struct Case {
        const char* text;
        int line;
        const char* reason;
    };
    const Case cases[] = {
        {"[alarms]\nraise_aftr = 3\n", 2, "unknown key 'raise_aftr' in [alarms]"},
        {"[alarm]\nraise_after = 3\n", 2, "unknown section [alarm]"},
        {"listen = 1.2.3.4:1\n", 1, "stands before any [section]"},
        {"[metrics]\nlisten = localhost:9717\n", 2, "is not ADDRESS:PORT"},
        {"[metrics]\nlisten = 127.0.0.1:70000\n", 2, "is not ADDRESS:PORT"},
        {"[metrics]\n\nlisten = 127.0.0.1\n", 3, "is not ADDRESS:PORT"},
        {"[alarms]\nmax_pdop = six\n", 2, "'six' is not a number"},
        {"[alarms]\nraise_after = -1\n", 2, "is not a number from 0"},
        {"[alarms]\nclear_after = nan\n", 2, "is not a number"},
        {"[alarms]\nmin_satellites = 4.5\n", 2, "is not a whole number"},
        {"[alarms]\nraise_after = 1\nraise_after = 2\n", 3, "given twice"},
        {"[ports]\nCOM17 = /dev/ttyUSB0\n", 2, "use COM1 to COM16"},
        {"[ports]\nCOM1 = ttyUSB0\n", 2, "neither an absolute device path"},
        {"[ports]\nCOM1 = tcp://host\n", 2, "'tcp://host': expected HOST:PORT"},
        {"[ports]\nCOM1 = /dev/ttyUSB0\nCOM2 = /dev/ttyUSB0\n", 3, "already given to COM1"},
        {"[recording]\nrotate = weekly\n", 2, "neither hourly nor daily"},
        {"[recording]\ndirectory = recordings\n", 2, "not an absolute directory"},
        {"[recording]\nkeep_days = 0\n", 2, "is not a whole number from 1"},
        {"[metrics]\nlisten 127.0.0.1:9717\n", 2, "not a 'key = value' line"},
        {"[metrics\n", 1, "ends with ']'"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        DaemonConfig config;
        const auto errors = Load(c.text, config, dir);
        ASSERT_EQ(errors.size(), 1u) << c.text;
        EXPECT_EQ(errors[0].line, c.line) << c.text;
        EXPECT_NE(errors[0].reason.find(c.reason), std::string::npos) << c.text << " -> " << errors[0].reason;
        EXPECT_EQ(errors[0].Text().rfind(dir.file("jx-monitord.conf") + ":" + std::to_string(c.line) + ": ", 0), 0u);
    }
}

TEST(DaemonConfig, AllErrorsOfAFileAreToldAndAnUnreadableFileIsRefused)
{
    TempDir dir;
    DaemonConfig config;
    EXPECT_EQ(Load("[alarms]\nmax_pdop = x\nmin_satellites = y\n[what]\na = 1\n", config, dir).size(), 3u);
    const auto missing = LoadDaemonConfig(dir.file("none.conf"), config);
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].Text(), dir.file("none.conf") + ": cannot be read: No such file or directory");
}

TEST(DaemonConfig, TheShippedFileIsTakenAsItIs)
{
    DaemonConfig config;
    const auto errors = LoadDaemonConfig(JX_SOURCE_DIR "/data/jx-monitord.conf", config);
    ASSERT_TRUE(errors.empty()) << errors[0].Text();
    EXPECT_EQ(config.listenHost, "127.0.0.1");
    EXPECT_EQ(config.listenPort, 9717);
    EXPECT_TRUE(config.ports.empty());
    EXPECT_EQ(config.recording.directory, "/var/lib/jx-monitord");
}
