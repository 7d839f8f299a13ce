// The Telnet layer against byte sequences worked out by hand from RFC 854
// (commands, IAC doubling, option negotiation) and RFC 2217 (COM-PORT-OPTION 44:
// client commands 1..12, the server's answers 101..112).
#include <gtest/gtest.h>

#include "platform/telnet_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct DecodeCase {
    const char* legend;
    std::vector<Bytes> reads; // as the network delivered them
    Bytes data;               // what the serial line carried
    Bytes replies;            // what the client must answer
};

const DecodeCase kCases[] = {
    {"plain bytes pass", {{0x10, 0x8F, 0x10, 0x03}}, {0x10, 0x8F, 0x10, 0x03}, {}},
    {"IAC IAC is one 0xFF data byte", {{0x41, 0xFF, 0xFF, 0x42}}, {0x41, 0xFF, 0x42}, {}},
    {"IAC IAC split across reads", {{0x10, 0xFF}, {0xFF, 0x03}}, {0x10, 0xFF, 0x03}, {}},
    {"NOP and GA carry nothing", {{0x01, 0xFF, 0xF1, 0x02, 0xFF, 0xF9}}, {0x01, 0x02}, {}},
    {"answers to our own requests need no reply", {{0xFF, 0xFD, 0x2C, 0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03}}, {}, {}},
    {"DO TERMINAL-TYPE split in three reads is refused with WONT", {{0xFF}, {0xFD}, {0x18}}, {}, {0xFF, 0xFC, 0x18}},
    {"WILL STATUS is refused with DONT", {{0xFF, 0xFB, 0x05, 0x61}}, {0x61}, {0xFF, 0xFE, 0x05}},
    {"WILL ECHO is accepted with DO", {{0xFF, 0xFB, 0x01}}, {}, {0xFF, 0xFD, 0x01}},
    {"a repeated WILL ECHO is not answered twice", {{0xFF, 0xFB, 0x01, 0xFF, 0xFB, 0x01}}, {}, {0xFF, 0xFD, 0x01}},
    {"WONT ECHO after it was on is confirmed with DONT", {{0xFF, 0xFB, 0x01}, {0xFF, 0xFC, 0x01}}, {}, {0xFF, 0xFD, 0x01, 0xFF, 0xFE, 0x01}},
    {"DONT BINARY after it was agreed is confirmed with WONT", {{0xFF, 0xFD, 0x00, 0xFF, 0xFE, 0x00}}, {}, {0xFF, 0xFC, 0x00}},
    {"a server's SET-BAUDRATE answer is no data", {{0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0, 0x7A}}, {0x7A}, {}},
    {"SB ... SE split across four reads", {{0x31, 0xFF, 0xFA, 0x2C}, {0x66, 0x08}, {0xFF}, {0xF0, 0x32}}, {0x31, 0x32}, {}},
    {"an unknown subnegotiation is skipped", {{0xFF, 0xFA, 0x18, 0x00, 0x41, 0x42, 0xFF, 0xF0, 0x43}}, {0x43}, {}},
};

TEST(TelnetCodec, DecodesByteSequencesWorkedOutByHand)
{
    for (const DecodeCase& c : kCases) {
        TelnetCodec codec;
        codec.Greeting();
        Bytes data;
        Bytes replies;
        for (const Bytes& read : c.reads)
            codec.Decode(read.data(), read.size(), data, replies);
        EXPECT_EQ(data, c.data) << c.legend;
        EXPECT_EQ(replies, c.replies) << c.legend;
    }
}

TEST(TelnetCodec, GreetingThenComPortOptionAgreedOrRefused)
{
    TelnetCodec codec;
    // WILL BINARY, DO BINARY, WILL COM-PORT-OPTION, DO SUPPRESS-GO-AHEAD.
    EXPECT_EQ(codec.Greeting(), (Bytes{0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x2C, 0xFF, 0xFD, 0x03}));
    EXPECT_FALSE(codec.ComPortAgreed());
    Bytes data;
    Bytes replies;
    const Bytes agree = {0xFF, 0xFD, 0x2C};
    codec.Decode(agree.data(), agree.size(), data, replies);
    EXPECT_TRUE(codec.ComPortAgreed());

    TelnetCodec refused;
    refused.Greeting();
    const Bytes dont = {0xFF, 0xFE, 0x2C};
    refused.Decode(dont.data(), dont.size(), data, replies);
    EXPECT_FALSE(refused.ComPortAgreed());
    EXPECT_TRUE(refused.ComPortRefused());
    EXPECT_TRUE(replies.empty()); // a refusal of our offer is not answered
}

TEST(TelnetCodec, ServerAnswersGiveTheLineSettingsItApplied)
{
    TelnetCodec codec;
    codec.Greeting();
    Bytes data;
    Bytes replies;
    // 101 baud 19200 (0x00004B00); 102 data size 7; 103 parity EVEN (3); 104 stop size 2.
    // Then 101 with baud 0x0001FF00, whose 0xFF travels doubled.
    const Bytes answers = {0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0, 0xFF, 0xFA, 0x2C,
                           0x66, 0x07, 0xFF, 0xF0, 0xFF, 0xFA, 0x2C, 0x67, 0x03, 0xFF, 0xF0, 0xFF, 0xFA,
                           0x2C, 0x68, 0x02, 0xFF, 0xF0};
    codec.Decode(answers.data(), answers.size(), data, replies);
    EXPECT_TRUE(codec.ServerReportedBaud());
    EXPECT_EQ(codec.ServerSettings().baud, 19200);
    EXPECT_EQ(codec.ServerSettings().dataBits, 7);
    EXPECT_EQ(codec.ServerSettings().parity, 2);
    EXPECT_EQ(codec.ServerSettings().stopBits, 2);
    const Bytes odd = {0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x01, 0xFF, 0xFF, 0x00, 0xFF, 0xF0};
    codec.Decode(odd.data(), odd.size(), data, replies);
    EXPECT_EQ(codec.ServerSettings().baud, 0x0001FF00);
    EXPECT_TRUE(data.empty());
    EXPECT_TRUE(replies.empty());
}

TEST(TelnetCodec, EncodesDataAndCommands)
{
    Bytes out;
    const Bytes frame = {0x10, 0xFF, 0xFF, 0x10, 0x03};
    TelnetCodec::Encode(frame.data(), frame.size(), out);
    EXPECT_EQ(out, (Bytes{0x10, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x03}));

    Bytes line;
    ASSERT_TRUE(TelnetCodec::LineCommands(LineSettings{19200, 8, 0, 0}, line));
    const Bytes expected = {
        0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0, // SET-BAUDRATE 19200
        0xFF, 0xFA, 0x2C, 0x02, 0x08, 0xFF, 0xF0,                   // SET-DATASIZE 8
        0xFF, 0xFA, 0x2C, 0x03, 0x01, 0xFF, 0xF0,                   // SET-PARITY NONE
        0xFF, 0xFA, 0x2C, 0x04, 0x01, 0xFF, 0xF0,                   // SET-STOPSIZE 1
        0xFF, 0xFA, 0x2C, 0x05, 0x01, 0xFF, 0xF0,                   // SET-CONTROL no flow control (out)
        0xFF, 0xFA, 0x2C, 0x05, 0x0E, 0xFF, 0xF0,                   // SET-CONTROL no flow control (in)
        0xFF, 0xFA, 0x2C, 0x05, 0x08, 0xFF, 0xF0,                   // SET-CONTROL DTR on
        0xFF, 0xFA, 0x2C, 0x05, 0x0B, 0xFF, 0xF0,                   // SET-CONTROL RTS on
    };
    EXPECT_EQ(line, expected);

    Bytes oddTwo;
    ASSERT_TRUE(TelnetCodec::LineCommands(LineSettings{9600, 8, 1, 2}, oddTwo));
    EXPECT_EQ(Bytes(oddTwo.begin(), oddTwo.begin() + 10), (Bytes{0xFF, 0xFA, 0x2C, 0x01, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0}));
    EXPECT_EQ(oddTwo[21], 0x02); // ODD
    EXPECT_EQ(oddTwo[28], 0x02); // two stop bits
    Bytes none;
    EXPECT_FALSE(TelnetCodec::LineCommands(LineSettings{9600, 9, 0, 0}, none));
    EXPECT_FALSE(TelnetCodec::LineCommands(LineSettings{9600, 8, 0, 1}, none));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(TelnetCodec::PurgeCommand(), (Bytes{0xFF, 0xFA, 0x2C, 0x0C, 0x03, 0xFF, 0xF0}));
}

} // namespace
