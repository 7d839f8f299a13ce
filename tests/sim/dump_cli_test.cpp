// zelk_dump's command line and inputs: help, version and wrong options,
// several files read as one stream, a live port at the given line settings,
// and a stop at once on Ctrl-C or SIGTERM whatever it is reading.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "capture_facts.h"
#include "dump_process.h"
#include "support/captures.h"
#include "support/pty.h"
#include "support/temp_dir.h"
#include "tools/dump/dump_command.h"
#include "model/formats/time_index.h"
#include "tools/dump/dump_run.h"

namespace {

struct CommandRun {
    int code = 0;
    std::string out, err;
};

CommandRun RunDump(const std::vector<std::string>& args, const std::string& input = "")
{
    std::istringstream in(input);
    std::ostringstream out, err;
    volatile std::sig_atomic_t stop = 0;
    CommandRun r;
    r.code = RunDumpCommand(args, in, out, err, &stop);
    r.out = out.str();
    r.err = err.str();
    return r;
}

uint64_t PacketsOf(const char* capture)
{
    for (const CaptureFacts& f : Facts())
        if (std::string(f.name) == capture)
            return std::accumulate(f.counts.begin(), f.counts.end(), uint64_t{0},
                                   [](uint64_t n, const auto& c) { return n + c.second; });
    ADD_FAILURE() << capture;
    return 0;
}

// Waits until the peer has taken every byte written into fd's pipe.
void WaitDrained(int fd)
{
    for (int queued = 1; ioctl(fd, FIONREAD, &queued) == 0 && queued > 0;)
        ::poll(nullptr, 0, 2);
}

// Waits until process pid has read past the start of path (its file offset
// there, from /proc); false when the process ended first.
bool WaitReadingStarted(pid_t pid, const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path proc = "/proc/" + std::to_string(pid);
    for (;;) {
        std::error_code ec;
        for (const auto& fd : fs::directory_iterator(proc / "fd", ec)) {
            if (fs::read_symlink(fd.path(), ec) != path)
                continue;
            std::ifstream info(proc / "fdinfo" / fd.path().filename());
            std::string key;
            long long pos = 0;
            if (info >> key >> pos && key == "pos:" && pos > 0)
                return true;
        }
        if (ec)
            return false;
        ::poll(nullptr, 0, 2);
    }
}

} // namespace

TEST(ZelkDumpCommandLine, HelpVersionAndWrongArguments)
{
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string inOut, inErr; // must appear in standard output, standard error
    };
    const Case cases[] = {
        {{"--help"}, 0, "usage: zelk_dump", ""},
        {{"--json", "--version", "--frobnicate"}, 0, "zelk_dump ", ""},
        {{"--frobnicate", "file.zlk"}, 2, "", "unknown option '--frobnicate'"},
        {{"-x"}, 2, "", "'-x'"},
        {{"--baud", "fast", "/dev/ttyS0"}, 2, "", "'fast'"},
        {{"--baud", "-9600"}, 2, "", "'-9600'"},
        {{"--baud"}, 2, "", "--baud needs a value"},
        {{"--line", "8X1"}, 2, "", "'8X1'"},
        {{"--line", "4N1"}, 2, "", "'4N1'"},
        {{"--line", "8N3"}, 2, "", "'8N3'"},
        {{"--line"}, 2, "", "--line needs a value"},
        {{"--baud=fast"}, 2, "", "'fast'"},
        // 168: the packets the capture notes list for receiver-a.
        {{"--baud=4800", "--line=7e2", JX_CAPTURES_DIR "/receiver-a.bin"}, 0, "packets 168,", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front());
        const CommandRun r = RunDump(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.out.find(c.inOut), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.inErr), std::string::npos) << r.err;
        EXPECT_TRUE(c.code == 0 ? r.err.empty() : r.out.empty()) << r.out << r.err;
    }
    // The help describes every option and how several inputs are taken.
    const std::string help = RunDump({"--help"}).out;
    for (const char* option : {"--json", "--hex", "--csv", "--gpx", "--kml", "--baud N", "--line", "--help", "--version",
                               "in order, as one stream"})
        EXPECT_NE(help.find(option), std::string::npos) << option;
}

TEST(ZelkDumpCommandLine, SeveralInputsAreReadInOrderAsOneStream)
{
    const std::vector<uint8_t> a = ReadCapture("receiver-a.bin"), d = ReadCapture("receiver-d.bin");
    std::vector<uint8_t> both = a;
    both.insert(both.end(), d.begin(), d.end());
    std::ostringstream expected;
    DumpBuffer(both.data(), both.size(), true, expected);

    const std::string dir = JX_CAPTURES_DIR;
    const CommandRun files = RunDump({"--json", dir + "/receiver-a.bin", dir + "/receiver-d.bin"});
    EXPECT_EQ(files.code, 0);
    EXPECT_EQ(files.out, expected.str());
    EXPECT_NE(files.err.find("packets " + std::to_string(PacketsOf("receiver-a.bin") + PacketsOf("receiver-d.bin"))),
              std::string::npos)
        << files.err;
    // Standard input among the files takes its place in the order.
    const CommandRun mixed = RunDump({"--json", dir + "/receiver-a.bin", "-"}, std::string(d.begin(), d.end()));
    EXPECT_EQ(mixed.out, expected.str());

    const CommandRun missing = RunDump({dir + "/receiver-a.bin", dir + "/no-such.bin"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("no-such.bin"), std::string::npos) << missing.err;
}

// A FIFO nobody writes to is refused, not waited on; FIFO and standard
// input held open by a silent writer end at once on either signal, with
// every packet that came before it counted.
TEST(ZelkDumpProgram, StopsAtOnceOnASignalWhateverItReads)
{
    TempDir dir;
    const std::string fifo = dir.file("line.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    DumpProcess refused = StartDump({fifo}, dir.path());
    EXPECT_EQ(WaitDump(refused), 1);
    EXPECT_NE(ReadFileText(refused.errPath).find("no writer"), std::string::npos) << ReadFileText(refused.errPath);

    const std::vector<uint8_t> capture = ReadCapture("receiver-a.bin");
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const bool viaFifo : {true, false}) {
            SCOPED_TRACE(std::string(viaFifo ? "FIFO, " : "standard input, ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
            int pipeEnds[2] = {-1, -1};
            int writer = -1;
            DumpProcess p;
            if (viaFifo) {
                writer = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC); // a writer that never reads
                p = StartDump({"--json", fifo}, dir.path());
            } else {
                ASSERT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
                writer = pipeEnds[1];
                p = StartDump({"--json"}, dir.path(), pipeEnds[0]);
                ::close(pipeEnds[0]);
            }
            ASSERT_GE(writer, 0);
            ASSERT_EQ(::write(writer, capture.data(), capture.size()), static_cast<ssize_t>(capture.size()));
            WaitDrained(writer);
            ::kill(p.pid, signal);
            EXPECT_EQ(WaitDump(p), 0);
            ::close(writer);
            EXPECT_NE(ReadFileText(p.errPath).find("packets " + std::to_string(PacketsOf("receiver-a.bin")) + ","),
                      std::string::npos)
                << ReadFileText(p.errPath);
        }
    }
}

// A file far too large to read in the test's time (sparse: it takes no
// disk) ends at the signal too, with a summary of what was read.
TEST(ZelkDumpProgram, StopsReadingAFileAtTheSignal)
{
    TempDir dir;
    const std::string path = dir.file("huge.zlk");
    constexpr off_t kSize = off_t{1} << 40;
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, kSize), 0);
        ::close(fd);
    }
    DumpProcess p = StartDump({"--json", path}, dir.path());
    ASSERT_TRUE(WaitReadingStarted(p.pid, path));
    ::kill(p.pid, SIGTERM);
    EXPECT_EQ(WaitDump(p), 0);
    const std::string err = ReadFileText(p.errPath);
    const size_t at = err.find("bytes ");
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_LT(std::stoll(err.substr(at + 6)), kSize) << err;
}

TEST(ZelkDumpProgram, LivePortTakesTheGivenLineSettingsAndStopsOnCtrlC)
{
    TempDir dir;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    termios tio {};
    ASSERT_TRUE(pty.DeviceTermios(tio));
    ASSERT_NE(cfgetospeed(&tio), B19200);
    DumpProcess p = StartDump({"--baud", "19200", "--line", "7E2", pty.devicePath()}, dir.path());
    // Until the program has set the line up. A pseudo-terminal keeps 8 data
    // bits and no parity whatever is asked: the rate and stop bits show.
    while (pty.DeviceTermios(tio) && cfgetospeed(&tio) != B19200)
        ::poll(nullptr, 0, 2);
    EXPECT_EQ(tio.c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
    ::kill(p.pid, SIGINT);
    EXPECT_EQ(WaitDump(p), 0);
    EXPECT_NE(ReadFileText(p.outPath).find("packets 0,"), std::string::npos) << ReadFileText(p.outPath);

    DumpProcess refused = StartDump({"--baud", "12345", pty.devicePath()}, dir.path());
    EXPECT_EQ(WaitDump(refused), 1);
    EXPECT_NE(ReadFileText(refused.errPath).find("12345"), std::string::npos) << ReadFileText(refused.errPath);
    EXPECT_NE(ReadFileText(refused.errPath).find("--line 8N1"), std::string::npos) << "names the option that helps";
}

// The default 8-O-1 on a pseudo-terminal, which drops the parity (as a
// simulated receiver's is): read as the monitor reads it.
TEST(ZelkDumpProgram, PseudoTerminalThatDropsParityIsRead)
{
    TempDir dir;
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    DumpProcess p = StartDump({pty.devicePath()}, dir.path());
    termios tio {};
    // Until the program has set the line up: odd parity's PARODD sticks, PARENB does not.
    ASSERT_TRUE(pty.DeviceTermios(tio));
    ASSERT_EQ(tio.c_cflag & PARODD, 0u);
    for (int i = 0; i < 500 && pty.DeviceTermios(tio) && !(tio.c_cflag & PARODD); ++i)
        ::poll(nullptr, 0, 2);
    ASSERT_TRUE(pty.Write({0x10, 0x41, 0x10, 0x03}));
    ::poll(nullptr, 0, 300);
    ::kill(p.pid, SIGINT);
    EXPECT_EQ(WaitDump(p), 0) << ReadFileText(p.errPath);
    EXPECT_NE(ReadFileText(p.outPath).find("packets 1,"), std::string::npos) << ReadFileText(p.outPath);
}

namespace {

// --times: each line starts with the frame's received time from the index;
// a frame after the indexed ones shows "-"; no index is an error, not a guess.
TEST(DumpCli, TimesComeFromTheRecordingsIndex)
{
    TempDir dir;
    const std::string path = dir.file("timed.zlk");
    const std::vector<uint8_t> frames = {0x10, 0x82, 0x02, 0x10, 0x03, 0x10, 0x82, 0x03, 0x10, 0x03,
                                         0x10, 0x82, 0x04, 0x10, 0x03};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(frames.data()), 15);
    TimeIndexWriter index;
    ASSERT_TRUE(index.Open(TimeIndexPath(path), false, {kTimeIndexVersion, 1, "/dev/ttyS0"}, 0));
    index.Add(0, 1765280710123456789LL); // 2025-12-09 11:45:10.123456789
    index.Add(5, 1765280711000000000LL);
    index.Close();

    const CommandRun text = RunDump({"--times", path});
    EXPECT_EQ(text.code, 0) << text.err;
    std::istringstream lines(text.out);
    std::string line;
    std::vector<std::string> heads;
    while (std::getline(lines, line) && heads.size() < 3)
        heads.push_back(line.substr(0, line.find(' ')));
    EXPECT_EQ(heads, (std::vector<std::string>{"2025-12-09T11:45:10.123456789Z", "2025-12-09T11:45:11.000000000Z", "-"}));
    const CommandRun json = RunDump({"--times", "--json", path});
    EXPECT_NE(json.out.find("{\"id\":\"82\",\"time\":\"2025-12-09T11:45:11.000000000Z\""), std::string::npos) << json.out;

    std::filesystem::remove(TimeIndexPath(path));
    const CommandRun missing = RunDump({"--times", path});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("has no readable time index"), std::string::npos);
    EXPECT_EQ(RunDump({"--times", path, path}).code, 2);
}

} // namespace
