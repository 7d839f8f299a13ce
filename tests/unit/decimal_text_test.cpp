// Decimal numbers as they are read from position data files.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/formats/decimal_text.h"

namespace {

TEST(DecimalText, ScanMeasuresTheLongestNumberAtTheStart)
{
    struct Case {
        const char* text;
        size_t length;
    };
    const Case cases[] = {
        {"15.0", 4},     {"-122.250 x", 8}, {"+3", 2},      {".5", 2},       {"5.", 2},
        {"1e5", 3},      {"1E-5", 4},       {"2e", 1},      {"2e+", 1},      {"7.5e+2z", 6},
        {"", 0},         {"-", 0},          {".", 0},       {"+.", 0},       {"e5", 0},
        {" 1", 0},       {"inf", 0},        {"nan", 0},     {"0x1A", 1},     {"1,5", 1},
        {"--1", 0},      {"12abc", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScanDecimal(c.text), c.length) << '"' << c.text << '"';
}

TEST(DecimalText, ConvertsWholeNumbersOnly)
{
    struct Case {
        const char* text;
        float value;
    };
    const Case cases[] = {
        {"37.500", 37.5f}, {"-122.25", -122.25f}, {"+2.5e3", 2500.0f}, {"1E-2", 0.01f},       {".25", 0.25f},
        {"4.", 4.0f},      {"-0", -0.0f},         {"100", 100.0f},     {"6378137", 6378137.0f},
    };
    for (const Case& c : cases) {
        const auto value = DecimalToFloat(c.text);
        ASSERT_TRUE(value) << '"' << c.text << '"';
        EXPECT_EQ(*value, c.value) << '"' << c.text << '"';
    }
    for (const char* text : {"", " 1", "1 ", "abc", "1,5", "1.2.3", "1e", "0x10", "inf", "-nan", "12abc", "++1"})
        EXPECT_FALSE(DecimalToFloat(text)) << '"' << text << '"';
}

TEST(DecimalText, TooSmallBecomesZeroOfItsSign)
{
    EXPECT_TRUE(std::signbit(*DecimalToFloat("-1e-400")));
    EXPECT_EQ(*DecimalToFloat("1e-50"), 0.0f);
    EXPECT_EQ(*DecimalToFloat("0.0000000000000000000000000000000000000000000000000001"), 0.0f);
    EXPECT_FALSE(DecimalToFloat("1e39"));
    EXPECT_FALSE(DecimalToFloat("-340282350000000000000000000000000000000000"));
    EXPECT_EQ(*DecimalToFloat("0e99999999999999999999"), 0.0f);
}

TEST(DecimalText, FloatsRoundToTheNearestSinglePrecisionValue)
{
    // 0.1 is 0x3DCCCCCD in single precision; 16777217 lies halfway and rounds to even.
    EXPECT_EQ(*DecimalToFloat("0.1"), 0.1f);
    EXPECT_EQ(*DecimalToFloat("16777217"), 16777216.0f);
    EXPECT_EQ(*DecimalToFloat("-2700000.12345"), -2700000.0f);
}

TEST(DecimalText, NarrowToFloatRefusesWhatAFloatCannotHold)
{
    EXPECT_EQ(*NarrowToFloat(1.5L), 1.5f);
    EXPECT_FALSE(NarrowToFloat(1e39L));
    EXPECT_FALSE(NarrowToFloat(-1e39L));
    EXPECT_FALSE(NarrowToFloat(std::numeric_limits<long double>::infinity()));
    EXPECT_FALSE(NarrowToFloat(std::numeric_limits<long double>::quiet_NaN()));
    EXPECT_EQ(*NarrowToFloat(std::numeric_limits<float>::max()), std::numeric_limits<float>::max());
}

} // namespace
