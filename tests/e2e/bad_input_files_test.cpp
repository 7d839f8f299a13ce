// Data files that are cut short, empty, huge, junk, a directory or not
// readable, given to the almanac and ephemeris uploads: every whole block
// before the damage is loaded, nothing else is sent, and the user reads the
// program's own message.
#include "transfer_fixture.h"

#include "support/temp_dir.h"

#include <atomic>
#include <filesystem>
#include <random>
#include <thread>

#include <csignal>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct Loaded {
    uint8_t type, sv;
    Bytes data;
    bool operator==(const Loaded&) const = default;
};

class BadDataFiles : public TransferTest {
protected:
    std::vector<Loaded> Loads() const
    {
        std::vector<Loaded> out;
        for (const Command& c : CommandsOf(CommandKind::LoadSystemData)) {
            const SystemDataCommand& d = c.systemData;
            out.push_back({d.dataType, d.sv, Bytes(d.data.begin(), d.data.begin() + d.dataLength)});
        }
        return out;
    }

    // Uploads the file at path through the menu command; returns the memo's lines.
    QStringList Upload(const QString& path, bool almanac)
    {
        peer.commands.clear();
        Form_Alm->FormClose();
        ui.fileNames.push_back(path);
        if (almanac)
            Form_Main->InitializeUploadClick();
        else
            Form_Main->InitializeEphemerisClick();
        return MemoLines();
    }

    // Every cut of the file: the blocks that end at or before the cut are
    // loaded, in order, and the upload says it is complete.
    void UploadEveryCut(const std::vector<Bytes>& blocks, const Bytes& header, const std::vector<Loaded>& contents,
                        bool almanac)
    {
        Bytes file = header;
        std::vector<size_t> ends;
        for (const Bytes& b : blocks) {
            file.insert(file.end(), b.begin(), b.end());
            ends.push_back(file.size());
        }
        const char* complete = almanac ? "System data load complete." : "Ephemeris data load complete.";
        for (size_t cut = 0; cut <= file.size(); ++cut) {
            WriteFile("cut.dat", Bytes(file.begin(), file.begin() + static_cast<long>(cut)));
            const QStringList lines = Upload(Path("cut.dat"), almanac);
            size_t whole = 0;
            while (whole < ends.size() && ends[whole] <= cut)
                ++whole;
            const std::vector<Loaded> expected(contents.begin(), contents.begin() + static_cast<long>(whole));
            EXPECT_EQ(Loads(), expected) << "cut at " << cut;
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.back(), complete) << "cut at " << cut;
            EXPECT_FALSE(lines.contains("End of block format error! ")) << "cut at " << cut;
            if (HasFailure())
                return;
        }
        EXPECT_TRUE(ui.boxes.empty());
    }
};

TEST_F(BadDataFiles, AlmanacCutAtEveryByteLoadsTheWholeBlocksBeforeTheCut)
{
    const std::vector<Loaded> contents = {{3, 0, TestBlockData(3, 0, 5)},  {2, 1, TestBlockData(2, 1, 24)},
                                          {2, 32, TestBlockData(2, 32, 24)}, {4, 0, TestBlockData(4, 0, 8)},
                                          {5, 0, TestBlockData(5, 0, 13)}};
    std::vector<Bytes> blocks;
    for (const Loaded& c : contents)
        blocks.push_back(FileBlock(c.type, c.sv, c.data));
    UploadEveryCut(blocks, {0x00, 0x00}, contents, true);
    ExpectMonitorResumed();
}

TEST_F(BadDataFiles, EphemerisCutAtEveryByteLoadsTheWholeBlocksBeforeTheCut)
{
    const std::vector<Loaded> contents = {{6, 1, TestBlockData(6, 1, 165)}, {6, 2, TestBlockData(6, 2, 165)},
                                          {6, 3, Bytes(255, 0x10)}};
    std::vector<Bytes> blocks;
    for (const Loaded& c : contents)
        blocks.push_back(FileBlock(c.type, c.sv, c.data));
    UploadEveryCut(blocks, {}, contents, false);
    ExpectMonitorResumed();
}

TEST_F(BadDataFiles, EmptyAndSparseFilesLoadNothingAndComplete)
{
    WriteFile("empty.dat", {});
    EXPECT_EQ(Upload(Path("empty.dat"), true), QStringList{"System data load complete."});
    EXPECT_TRUE(Loads().empty());

    // 4 MB of zero bytes with one block at the very end.
    const Bytes block = FileBlock(6, 9, TestBlockData(6, 9, 165));
    {
        std::ofstream out(Path("sparse.dat").toStdString(), std::ios::binary);
        out.seekp(4 << 20);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size()));
    }
    const QStringList lines = Upload(Path("sparse.dat"), false);
    EXPECT_EQ(lines, (QStringList{"Ephemeris data for SV 09...", "   Data block acknowledged",
                                  "Ephemeris data load complete."}));
    EXPECT_EQ(Loads(), (std::vector<Loaded>{{6, 9, TestBlockData(6, 9, 165)}}));
    EXPECT_TRUE(ui.boxes.empty());
    ExpectMonitorResumed();
}

// A megabyte of seeded junk: whatever block shapes it happens to hold are
// loaded only when whole, and the upload ends with its closing line.
TEST_F(BadDataFiles, JunkFileEndsWithTheClosingLineAndLoadsOnlyWellFormedBlocks)
{
    std::mt19937 random(20261208);
    Bytes junk(1 << 20);
    for (uint8_t& b : junk)
        b = static_cast<uint8_t>(random() & 0xFF);
    WriteFile("junk.dat", junk);
    for (bool almanac : {true, false}) {
        const QStringList lines = Upload(Path("junk.dat"), almanac);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.back(), almanac ? "System data load complete." : "Ephemeris data load complete.");
        for (const Loaded& l : Loads()) {
            EXPECT_TRUE(almanac ? (l.type >= 1 && l.type <= 5) : l.type == 6) << int(l.type);
            if (l.type == 1 || l.type == 2 || l.type == 6) {
                EXPECT_TRUE(l.sv >= 1 && l.sv <= 32) << int(l.sv);
            }
        }
    }
    EXPECT_TRUE(ui.boxes.empty());
    ExpectMonitorResumed();
}

// A directory, a missing file and a file without read permission cannot be
// opened: the user is told so and no data command goes out.
TEST_F(BadDataFiles, DirectoryOrUnreadableFileIsReportedAsNotOpened)
{
    fs::create_directory(Path("folder.dat").toStdString());
    WriteFile("locked.dat", FileBlock(3, 0, {1, 2, 3, 4, 5}));
    fs::permissions(Path("locked.dat").toStdString(), fs::perms::none);
    // Privileged users read whatever the permissions say: then only the directory counts.
    const bool lockHolds = ::access(Path("locked.dat").toStdString().c_str(), R_OK) != 0;

    // The memo names the file and the system's reason under the failure line.
    const QString folder = Path("folder.dat");
    EXPECT_EQ(Upload(folder, true), (QStringList{"Couldn't open almanac data file!", folder + ": Is a directory"}));
    EXPECT_TRUE(Loads().empty());
    EXPECT_EQ(Upload(folder, false), (QStringList{"Couldn't open ephemeris data file!", folder + ": Is a directory"}));
    EXPECT_TRUE(Loads().empty());
    if (lockHolds) {
        EXPECT_EQ(Upload(Path("locked.dat"), true),
                  (QStringList{"Couldn't open almanac data file!", Path("locked.dat") + ": Permission denied"}));
        EXPECT_TRUE(Loads().empty());
    }
    EXPECT_TRUE(ui.boxes.empty());
    ExpectMonitorResumed();
}

// A named pipe is no data file: the upload refuses it at once instead of
// waiting for a writer that never comes.
TEST_F(BadDataFiles, NamedPipeIsRefusedWithoutWaiting)
{
    const std::string fifo = Path("pipe.dat").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Stands in for the writer should the upload block in its open: it then
    // unblocks it, and the test fails instead of hanging.
    std::atomic<bool> done{false};
    std::atomic<bool> blocked{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 300 && !done; ++i) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) { // someone is reading it
                blocked = true;
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const QStringList lines = Upload(QString::fromStdString(fifo), true);
    done = true;
    watchdog.join();
    EXPECT_FALSE(blocked);
    EXPECT_EQ(lines, (QStringList{"Couldn't open almanac data file!",
                                  QString::fromStdString(fifo) + ": not a regular file"}));
    EXPECT_TRUE(Loads().empty());
    ExpectMonitorResumed();
}

// Downloads into what is no regular file: a device or a named pipe is
// refused before any request goes out, and nothing waits for a reader.
TEST_F(BadDataFiles, DownloadIntoADeviceOrPipeIsRefused)
{
    for (const TypeSv& k : AlmanacOrder())
        peer.blocks[k] = TestBlockData(k.first, k.second, TestLength(k.first));
    const std::string fifo = Path("pipe.dat").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Should the download block in its open, a reader turns up after a
    // while to release it, and the test fails instead of hanging.
    std::atomic<bool> done{false};
    std::atomic<bool> released{false};
    std::thread watchdog([&] {
        for (int i = 0; i < 200 && !done; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done)
            return;
        released = true;
        const int fd = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        char sink[4096];
        for (int i = 0; i < 100 && !done; ++i) {
            while (fd >= 0 && ::read(fd, sink, sizeof sink) > 0) {
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (fd >= 0)
            ::close(fd);
    });
    ui.fileNames.push_back(QString::fromStdString(fifo));
    Form_Main->InitializeDownloadClick();
    done = true;
    watchdog.join();
    EXPECT_FALSE(released);
    EXPECT_EQ(MemoLines(), (QStringList{"Couldn't open almanac data file!",
                                        QString::fromStdString(fifo) + ": not a regular file"}));

    if (FileExists("/dev/full")) {
        Form_Alm->FormClose();
        ui.fileNames.push_back("/dev/full");
        Form_Main->DownloadEphemerisClick();
        EXPECT_EQ(MemoLines(), (QStringList{"Couldn't open ephemeris data file!", "/dev/full: not a regular file"}));
    }
    EXPECT_TRUE(CommandsOf(CommandKind::RequestSystemData).empty());
    ExpectMonitorResumed();
}

// A file that cannot take every block (the disk fills up) is not called a
// complete download; the blocks that fitted stay in it.
TEST_F(BadDataFiles, DownloadThatDoesNotFitSaysSo)
{
    for (const TypeSv& k : AlmanacOrder())
        peer.blocks[k] = TestBlockData(k.first, k.second, TestLength(k.first));
    std::signal(SIGXFSZ, SIG_IGN); // as the monitor's start-up does
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit lowered = saved;
    lowered.rlim_cur = 100;
    setrlimit(RLIMIT_FSIZE, &lowered);
    ui.fileNames.push_back(Path("alm.dat"));
    Form_Main->InitializeDownloadClick();
    setrlimit(RLIMIT_FSIZE, &saved);

    const QStringList lines = MemoLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.back(), "Couldn't write almanac data file!");
    EXPECT_FALSE(lines.contains("Almanac download complete."));
    // Two zero bytes, then the health page block: what fitted is there.
    const Bytes onDisk = ReadFile("alm.dat");
    ASSERT_EQ(onDisk.size(), 100u);
    const Bytes health = FileBlock(3, 0, TestBlockData(3, 0, 5));
    EXPECT_EQ(Bytes(onDisk.begin() + 2, onDisk.begin() + 2 + static_cast<long>(health.size())), health);
    ExpectMonitorResumed();
}

} // namespace
