// zelk_dump on damaged recordings: a real capture cut short at many places,
// an empty file, a sparse and a junk file, a directory and an unreadable
// file. A cut recording decodes as the start of the whole one; what is no
// recording is refused with a message and a failing exit code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include <unistd.h>

#include "support/captures.h"
#include "support/temp_dir.h"
#include "tools/dump/dump_command.h"
#include "tools/dump/dump_run.h"
#include "text_lines.h"

namespace {

namespace fs = std::filesystem;

// A number field of a JSON line ("offset", "len").
size_t Field(const std::string& line, const std::string& name)
{
    const size_t at = line.find("\"" + name + "\":");
    EXPECT_NE(at, std::string::npos) << line;
    return at == std::string::npos ? 0 : std::stoul(line.substr(at + name.size() + 3));
}

struct DumpRun {
    int code = 0;
    std::string out, err;
};

DumpRun Dump(const std::vector<std::string>& args)
{
    DumpRun r;
    std::istringstream none;
    std::ostringstream out, err;
    volatile std::sig_atomic_t stop = 0;
    r.code = RunDumpCommand(args, none, out, err, &stop);
    r.out = out.str();
    r.err = err.str();
    return r;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes, size_t count)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(count));
}

TEST(DumpOfDamagedRecordings, ACutRecordingDecodesAsTheStartOfTheWholeOne)
{
    const std::vector<uint8_t> whole = ReadCapture("receiver-d.bin");
    ASSERT_GT(whole.size(), 1000u);
    std::ostringstream full;
    DumpBuffer(whole.data(), whole.size(), true, full);
    const std::vector<std::string> fullLines = Lines(full.str());
    ASSERT_EQ(fullLines.size(), 198u);

    TempDir dir;
    const std::string path = dir.file("cut.zlk");
    for (size_t cut = 0; cut <= whole.size(); cut += (cut < 200 ? 1 : 37)) {
        WriteBytes(path, whole, cut);
        const DumpRun r = Dump({"--json", path});
        ASSERT_EQ(r.code, 0) << "cut at " << cut;
        const std::vector<std::string> lines = Lines(r.out);
        ASSERT_LE(lines.size(), fullLines.size()) << "cut at " << cut;
        for (size_t i = 0; i < lines.size(); ++i)
            ASSERT_EQ(lines[i], fullLines[i]) << "cut at " << cut << ", line " << i;
        // A frame is whole once the next one has begun; it cannot be whole
        // before its id, data and the closing DLE ETX are all in.
        for (size_t i = 0; i + 1 < fullLines.size(); ++i) {
            const size_t start = Field(fullLines[i], "offset");
            if (cut >= Field(fullLines[i + 1], "offset")) {
                EXPECT_GT(lines.size(), i) << "cut at " << cut;
            } else if (cut < start + Field(fullLines[i], "len") + 4) {
                EXPECT_LE(lines.size(), i) << "cut at " << cut;
            }
        }
        EXPECT_NE(r.err.find("packets " + std::to_string(lines.size()) + ","), std::string::npos) << r.err;
        if (HasFailure())
            return;
    }
}

TEST(DumpOfDamagedRecordings, EmptySparseAndJunkFilesDecodeToWhatTheyHold)
{
    TempDir dir;
    WriteFileText(dir.file("empty.zlk"), "");
    DumpRun r = Dump({dir.file("empty.zlk")});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("packets 0,"), std::string::npos) << r.out;

    // 8 MB of zero bytes, then one frame: only the frame is a packet.
    {
        std::ofstream sparse(dir.file("sparse.zlk"), std::ios::binary);
        sparse.seekp(8 << 20);
        const char frame[] = {0x10, 0x46, 0x00, 0x00, 0x10, 0x03};
        sparse.write(frame, sizeof frame);
    }
    r = Dump({"--json", dir.file("sparse.zlk")});
    EXPECT_EQ(r.code, 0);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Field(lines[0], "offset"), 8u << 20);
    EXPECT_NE(r.err.find("packets 1,"), std::string::npos) << r.err;

    std::mt19937 random(7);
    std::vector<uint8_t> junk(1 << 20);
    for (uint8_t& b : junk)
        b = static_cast<uint8_t>(random() & 0xFF);
    WriteBytes(dir.file("junk.zlk"), junk, junk.size());
    std::ostringstream expected;
    const DumpSummary summary = DumpBuffer(junk.data(), junk.size(), false, expected);
    r = Dump({dir.file("junk.zlk")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(summary.bytes, junk.size());
    EXPECT_EQ(r.out.substr(0, expected.str().size()), expected.str());
}

TEST(DumpOfDamagedRecordings, DirectoryAndUnreadableFileAreRefused)
{
    TempDir dir;
    fs::create_directory(dir.file("folder.zlk"));
    DumpRun r = Dump({dir.file("folder.zlk")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(dir.file("folder.zlk")), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    const std::string locked = dir.file("locked.zlk");
    const std::vector<uint8_t> frame = {0x10, 0x46, 0x00, 0x00, 0x10, 0x03};
    WriteBytes(locked, frame, frame.size());
    fs::permissions(locked, fs::perms::none);
    if (::access(locked.c_str(), R_OK) != 0) { // privileged users read it all the same
        r = Dump({locked});
        EXPECT_EQ(r.code, 1);
        EXPECT_NE(r.err.find("cannot open"), std::string::npos) << r.err;
    }
}

} // namespace
