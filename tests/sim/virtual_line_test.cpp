// A line source in virtual time without a device: the bit rate limits what
// crosses the line, nothing is lost or reordered, and a monitor at another
// rate hears garbage.
#include <gtest/gtest.h>

#include "sim/line_runner.h"
#include "sim/virtual_line.h"

namespace {

// Sends a counting byte pattern: perSecond bytes for every second of time.
class CountingSource : public LineSource {
public:
    CountingSource(int baud, double perSecond) : baud_(baud), perSecond_(perSecond) {}
    void Receive(const uint8_t* bytes, size_t count) override { heard.insert(heard.end(), bytes, bytes + count); }
    void Advance(double seconds) override { due_ += seconds * perSecond_; }
    std::vector<uint8_t> TakeOutput() override
    {
        std::vector<uint8_t> out;
        for (; due_ > 1 - 1e-6; due_ -= 1) // steps of a fraction of a second add up inexactly
            out.push_back(static_cast<uint8_t>(next_++));
        return out;
    }
    int LineBaud() const override { return baud_; }
    std::vector<uint8_t> heard;

private:
    int baud_;
    double perSecond_;
    double due_ = 0;
    unsigned next_ = 0;
};

TEST(VirtualLine, BitRateLimitsTheBytesAndKeepsTheirOrder)
{
    CountingSource source(9600, 2000); // more than the line carries
    VirtualLine line(source);
    std::vector<uint8_t> out;
    for (int tick = 0; tick < 50; ++tick) // 10 s in poll-timer steps
        line.Run(0.2, 9600, out);
    // 8-O-1 is 11 bits a character: 9600 / 11 = 872.7 bytes a second.
    EXPECT_NEAR(static_cast<double>(out.size()), 8727, 10);
    EXPECT_EQ(out.size() + line.Backlog(), 20000u);
    for (size_t i = 0; i < out.size(); ++i)
        ASSERT_EQ(out[i], static_cast<uint8_t>(i)) << i;
}

TEST(VirtualLine, SlowSourceIsCarriedWholeAndAnotherRateIsGarbage)
{
    CountingSource source(38400, 300);
    VirtualLine line(source);
    std::vector<uint8_t> out;
    line.Run(2.0, 38400, out);
    EXPECT_EQ(out.size(), 600u);
    EXPECT_EQ(line.Backlog(), 0u);
    std::vector<uint8_t> garbled;
    line.Run(1.0, 9600, garbled);
    ASSERT_EQ(garbled.size(), 300u);
    EXPECT_EQ(garbled[0], GarbledByte(static_cast<uint8_t>(600)));
    const uint8_t command[] = {0x10, 0x1F, 0x10, 0x03};
    line.Receive(command, sizeof command);
    EXPECT_EQ(source.heard, std::vector<uint8_t>(command, command + sizeof command));
}

} // namespace
