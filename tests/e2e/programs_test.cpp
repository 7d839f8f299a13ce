// The built programs as a user or a script runs them, with no display at all
// (DISPLAY and QT_QPA_PLATFORM unset: a program that opened a window would
// abort): --help, --version and unknown options; --list-ports; the saved
// port mapping in a temporary XDG_CONFIG_HOME, from --save-ports to a
// monitor that opens the saved device at start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

#include "jx_version.h"
#include "platform/child_process.h"
#include "support/pty.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Program(const std::string& name) { return std::string(JX_BINARY_DIR) + "/" + name; }

// A path of this test's own: CTest runs the tests side by side.
fs::path OwnPath(const std::string& what)
{
    const std::string test = testing::UnitTest::GetInstance()->current_test_info()->name();
    return fs::path(testing::TempDir()) / ("jx_" + test + "_" + what);
}

// Runs one of the built programs without a display; arguments are passed
// through the shell as written.
Outcome RunProgram(const std::string& program, const std::string& arguments, const std::string& configHome = "")
{
    const fs::path out = OwnPath("out.txt"), err = OwnPath("err.txt");
    std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    if (!configHome.empty())
        command += "XDG_CONFIG_HOME='" + configHome + "' ";
    command += Program(program) + " " + arguments + " >" + out.string() + " 2>" + err.string() + " </dev/null";
    const int status = std::system(command.c_str());
    Outcome outcome;
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    outcome.out = ReadAll(out);
    outcome.err = ReadAll(err);
    return outcome;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(Programs, HelpVersionAndUnknownOptionsAnswerWithoutAWindow)
{
    const std::vector<std::string> monitorOptions = {"-e", "-cN", "-m", "--comN=PATH", "DEVICE", "--list-ports",
                                                     "--save-ports", "--demo", "--show", "--show-all", "--screenshot",
                                                     "--quit-after", "--help", "--version"};
    struct Row {
        const char* program;
        std::vector<std::string> helpMentions;
    } rows[] = {
        {"jx_monitor", monitorOptions},
        {"zelk_sim", {"--count", "--replay", "--help", "--version"}},
        {"zelk_dump", {"--help", "--version"}},
        {"jx_longrun", {"--hours", "--dir", "--keep", "--tx-all", "--help", "--version"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.program);
        const Outcome help = RunProgram(row.program, "--help");
        EXPECT_EQ(help.exitCode, 0) << help.err;
        EXPECT_EQ(help.out.rfind(std::string("usage: ") + row.program, 0), 0u) << help.out;
        for (const std::string& option : row.helpMentions)
            EXPECT_TRUE(Has(help.out, option)) << option;
        EXPECT_EQ(help.err, "");
        const Outcome shortHelp = RunProgram(row.program, "-h");
        EXPECT_EQ(shortHelp.exitCode, 0) << shortHelp.err;
        EXPECT_EQ(shortHelp.out, help.out) << "-h is --help";

        const Outcome version = RunProgram(row.program, "--version");
        EXPECT_EQ(version.exitCode, 0) << version.err;
        EXPECT_EQ(version.out, std::string(row.program) + " " + kJxVersion + "\n");

        const Outcome unknown = RunProgram(row.program, "--frobnicate");
        EXPECT_EQ(unknown.exitCode, 2);
        EXPECT_EQ(unknown.out, "");
        EXPECT_TRUE(Has(unknown.err, "--frobnicate")) << unknown.err;
    }
    // zelk_sim's help explains each option it accepts: a line of words after
    // the option's name, not only the name in the synopsis.
    const std::string simHelp = RunProgram("zelk_sim", "--help").out;
    for (const char* option : {"--count", "--index", "--seed", "--lat", "--radius", "--no-almanac", "--no-ephemeris",
                               "--antenna-fault", "--replay", "--fast", "--loop", "--baud", "--listen", "--help",
                               "--version"}) {
        const size_t line = simHelp.find(std::string("\n  ") + option);
        const size_t shortLine = simHelp.find(std::string(", ") + option + " ");
        EXPECT_TRUE(line != std::string::npos || shortLine != std::string::npos) << option << " is not explained";
    }
    // Letter arguments keep their rule: only the second character counts, so
    // a word is no error, but a long option still is when letters are around it.
    EXPECT_EQ(RunProgram("jx_monitor", "-c3 --list-port").exitCode, 2);
    EXPECT_EQ(RunProgram("jx_monitor", "-ccc --list-ports").exitCode, 0);
    // The windows themselves need a display: a clear message instead of Qt's abort.
    const Outcome windows = RunProgram("jx_monitor", "-c1 --com1=/dev/null");
    EXPECT_EQ(windows.exitCode, 1);
    EXPECT_TRUE(Has(windows.err, "no display")) << windows.err;
}

class SavedPorts : public testing::Test {
protected:
    void SetUp() override
    {
        home = OwnPath("config");
        fs::remove_all(home);
        fs::create_directories(home);
        file = home / "JX_Monitor" / "ports.conf";
    }
    void TearDown() override { fs::remove_all(home); }
    Outcome Monitor(const std::string& arguments) { return RunProgram("jx_monitor", arguments, home.string()); }

    fs::path home;
    fs::path file;
};

// The saved mapping stands in for a command line without ports; a command
// line with ports wins; saving none forgets it; a hand-edited file with
// impossible entries is read for what it can be, the rest is reported.
TEST_F(SavedPorts, SaveListOverrideAndForget)
{
    const Outcome none = Monitor("--list-ports");
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_FALSE(Has(none.out, "[saved]")) << none.out;
    EXPECT_FALSE(fs::exists(file)) << "listing stores nothing";

    const Outcome saved = Monitor("--save-ports --com4=/dev/jx-test-b /dev/jx-test-a,1");
    ASSERT_EQ(saved.exitCode, 0) << saved.err;
    EXPECT_TRUE(Has(saved.out, file.string())) << saved.out;
    ASSERT_TRUE(fs::exists(file));

    const Outcome listed = Monitor("--list-ports");
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_TRUE(Has(listed.out, "COM1  /dev/jx-test-a,1  [saved]\n")) << listed.out;
    EXPECT_TRUE(Has(listed.out, "COM4  /dev/jx-test-b  [saved]\n")) << listed.out;
    EXPECT_TRUE(Has(listed.out, "Saved mapping: " + file.string())) << listed.out;

    const Outcome given = Monitor("--list-ports --com7=/dev/jx-test-c");
    EXPECT_TRUE(Has(given.out, "COM7  /dev/jx-test-c  [command line]\n")) << given.out;
    EXPECT_FALSE(Has(given.out, "jx-test-a")) << given.out;

    EXPECT_EQ(Monitor("--save-ports").exitCode, 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(Has(Monitor("--list-ports").out, "[saved]"));

    std::ofstream(file) << "[ports]\nCOM17=/dev/jx-test-d\nCOM2=/dev/jx-test-e\nCOM3=/dev/jx-test-e\nCOMX=/dev/x\n";
    const Outcome edited = Monitor("--list-ports");
    EXPECT_EQ(edited.exitCode, 0);
    EXPECT_TRUE(Has(edited.out, "COM2  /dev/jx-test-e  [saved]\n")) << edited.out;
    EXPECT_FALSE(Has(edited.out, "COM3  /dev/jx-test-e")) << edited.out;
    for (const char* key : {"COM17=", "COM3=", "COMX="})
        EXPECT_TRUE(Has(edited.err, key)) << key << ": " << edited.err;
}

TEST_F(SavedPorts, TheMonitorOpensTheSavedDeviceAtStart)
{
    PtyPair receiver;
    ASSERT_TRUE(receiver.ok());
    ASSERT_EQ(Monitor("--save-ports --com2=" + receiver.devicePath()).exitCode, 0);
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", home.c_str(), 1), 0);
    ChildProcess monitor;
    std::string error;
    const bool started = monitor.Start(Program("jx_monitor"), {"-platform", "offscreen", "-c2"}, &error);
    unsetenv("XDG_CONFIG_HOME");
    ASSERT_TRUE(started) << error;
    // The search sequence asks the new receiver for its version.
    const std::vector<uint8_t> versionQuery = {0x10, 0x1F, 0x10, 0x03};
    std::vector<uint8_t> sent;
    auto asked = [&] { return std::search(sent.begin(), sent.end(), versionQuery.begin(), versionQuery.end()) != sent.end(); };
    for (int i = 0; i < 30 && !asked(); ++i) {
        const std::vector<uint8_t> more = receiver.Read(versionQuery.size(), 500);
        sent.insert(sent.end(), more.begin(), more.end());
    }
    monitor.Stop();
    EXPECT_TRUE(asked()) << sent.size() << " bytes came";
}

} // namespace
