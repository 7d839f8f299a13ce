// Reading position data files: what the position download writes reads
// back, and broken files are refused without harm.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "model/formats/position_file_reader.h"

namespace {

namespace fs = std::filesystem;

std::string Format(const char* format, int kind, double a, double b, double c)
{
    char line[256];
    std::snprintf(line, sizeof line, format, kind, a, b, c);
    return line;
}

class PositionFile : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("jx_posfile_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& content, const char* name = "pos.dat")
    {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    fs::path dir_;
};

// The four line formats of the position download, one line without a line end.
TEST_F(PositionFile, ReadsBackEveryDownloadFormat)
{
    struct Case {
        std::string line;
        PositionKind kind;
        float a, b, c;
    };
    const Case cases[] = {
        // 0x42: X, Y, Z with two decimals; read in single precision the
        // cents of a 2.7e6 m coordinate are lost (float spacing there is 0.25).
        {Format("%d %.2f %.2f %.2f", 1, -2700000.12, -4300000.5, 3850000.75), PositionKind::Ecef, -2700000.0f,
         -4300000.5f, 3850000.75f},
        // 0x83: five decimals.
        {Format("%d %.5f %.5f %.5f", 1, 1234.5, -0.25, 6378137.0), PositionKind::Ecef, 1234.5f, -0.25f,
         6378137.0f},
        // 0x4A: latitude and longitude with three decimals, altitude with one.
        {Format("%d %.3f %.3f %.1f", 0, 37.5, -122.25, 15.0), PositionKind::Geodetic, 37.5f, -122.25f, 15.0f},
        // 0x84: five, five and three decimals.
        {Format("%d %.5f %.5f %.3f", 0, -33.875, 151.1875, -12.5), PositionKind::Geodetic, -33.875f, 151.1875f,
         -12.5f},
    };
    for (const Case& c : cases) {
        const PositionFileResult r = ReadPositionFile(Write(c.line));
        ASSERT_EQ(r.status, PositionFileStatus::Ok) << c.line;
        EXPECT_EQ(r.data.kind, c.kind) << c.line;
        EXPECT_EQ(r.data.values[0], c.a) << c.line;
        EXPECT_EQ(r.data.values[1], c.b) << c.line;
        EXPECT_EQ(r.data.values[2], c.c) << c.line;
    }
}

TEST(PositionText, WhiteSpaceOfAnyKindSeparatesAndTrailingTextIsIgnored)
{
    const PositionFileData lla{PositionKind::Geodetic, {37.5f, -122.25f, 15.0f}};
    for (const char* text : {"0 37.500 -122.250 15.0", "  0\t37.5\r\n-122.25   15\r\n", "0 37.5 -122.25 15.0 9 9 9",
                             "+0 37.5 -122.25 15.0garbage", "0 37.5 -122.25 1.5e1\n", "-0 +37.5 -122.25 15."})
        EXPECT_EQ(ParsePositionText(text), lla) << '"' << text << '"';
}

TEST(PositionText, RefusesWrongKindsAndMissingOrBrokenNumbers)
{
    using namespace std::string_view_literals;
    // The NUL byte is inside the text, so its length is spelled out.
    const std::string_view texts[] = {
        "", "   \n", "2 1 2 3", "-1 1 2 3", "word 1 2 3", "1.0 1 2 3", "0x1 1 2 3", "99999999999 1 2 3", "0",
        "0 37.5", "0 37.5 -122.25", "1 1 2 x", "1 1,5 2 3", "1 1 2e 3", "0 37.5-122.25 15", "1 inf 2 3",
        "1 nan 2 3", "1 1e39 2 3", "1 1 2 -3.4e38000", "\x01 1 2 3", "1\0 2 3 4"sv};
    for (const std::string_view text : texts)
        EXPECT_FALSE(ParsePositionText(text)) << '"' << text << '"';
}

TEST_F(PositionFile, TruncatedAndGarbageFilesAreFormatErrors)
{
    EXPECT_EQ(ReadPositionFile(Write("")).status, PositionFileStatus::FormatIncorrect);
    EXPECT_EQ(ReadPositionFile(Write("1 -2700000.12 -43000")).status, PositionFileStatus::FormatIncorrect);
    std::string binary;
    for (int i = 0; i < 256; ++i)
        binary.push_back(static_cast<char>(255 - i));
    EXPECT_EQ(ReadPositionFile(Write(binary)).status, PositionFileStatus::FormatIncorrect);
}

TEST_F(PositionFile, OnlyTheStartOfAnOversizedFileIsRead)
{
    // A good line followed by a megabyte of anything reads as the line.
    const PositionFileResult good = ReadPositionFile(Write("1 1 2 3\n" + std::string(1 << 20, 'x')));
    ASSERT_EQ(good.status, PositionFileStatus::Ok);
    EXPECT_EQ(good.data.values[2], 3.0f);

    // Fields beyond the part that is read are not found.
    const std::string late = std::string(kMaxPositionFileBytes, ' ') + "1 1 2 3";
    EXPECT_EQ(ReadPositionFile(Write(late)).status, PositionFileStatus::FormatIncorrect);

    // A last number cut off at the end of that part might go on: refused.
    std::string cut = "1 1 2 3";
    cut += std::string(kMaxPositionFileBytes - cut.size(), '0') + "5";
    EXPECT_EQ(ReadPositionFile(Write(cut)).status, PositionFileStatus::FormatIncorrect);
}

TEST_F(PositionFile, WhatIsNoReadableRegularFileCannotBeOpened)
{
    EXPECT_EQ(ReadPositionFile("").status, PositionFileStatus::CannotOpen);
    EXPECT_EQ(ReadPositionFile((dir_ / "missing.dat").string()).status, PositionFileStatus::CannotOpen);
    EXPECT_EQ(ReadPositionFile(dir_.string()).status, PositionFileStatus::CannotOpen);
    // A pipe with no writer would block an open for reading.
    const fs::path fifo = dir_ / "pipe.dat";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadPositionFile(fifo.string()).status, PositionFileStatus::CannotOpen);
}

} // namespace
