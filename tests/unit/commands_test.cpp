// The command senders end to end: target choice and Tx lamp of the generic
// sender, and the framed bytes each sender writes on the line.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "link/commands.h"
#include "link/link_hooks.h"
#include "support/fake_serial.h"

namespace {

using Bytes = std::vector<uint8_t>;

int g_lampCalls = 0;
void CountLamp() { ++g_lampCalls; }

// A fake line that also notes, program-wide, which slot wrote when.
std::vector<int> g_writeOrder;
class OrderedFake : public FakeSerial {
public:
    OrderedFake(std::shared_ptr<State> s, int slot) : FakeSerial(std::move(s)), slot_(slot) {}
    long Write(const uint8_t* bytes, size_t count) override
    {
        g_writeOrder.push_back(slot_);
        return FakeSerial::Write(bytes, count);
    }

private:
    int slot_;
};

std::shared_ptr<FakeSerial::State> AttachOrdered(int slot)
{
    auto state = std::make_shared<FakeSerial::State>();
    PortRecord& port = PortTable[static_cast<size_t>(slot)];
    port.handle = std::make_unique<OrderedFake>(state, slot);
    port.open = 1;
    port.slot = slot;
    return state;
}

class SendPacketTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_lampCalls = 0;
        g_writeOrder.clear();
        LinkHooks().transmitLamp = CountLamp;
    }
};

const Bytes kHealthFrame = {0x10, 0x26, 0x10, 0x03};

TEST_F(SendPacketTest, DefaultGoesToTheDisplayPortWhileTxAllIsDark)
{
    auto com1 = AttachOrdered(0);
    auto com2 = AttachOrdered(1);
    DisplayPort = 2;
    RequestHealth(TX_DEFAULT);
    EXPECT_EQ(com2->written, kHealthFrame);
    EXPECT_TRUE(com1->written.empty());
    EXPECT_EQ(g_lampCalls, 1);
}

TEST_F(SendPacketTest, DefaultGoesToEveryOpenPortInSlotOrderWhileTxAllIsLit)
{
    auto com5 = AttachOrdered(4);
    auto com1 = AttachOrdered(0);
    auto com2 = AttachOrdered(1);
    DisplayPort = 2;
    TxAllLit = true;
    RequestHealth(TX_DEFAULT);
    EXPECT_EQ(g_writeOrder, (std::vector<int>{0, 1, 4}));
    for (const auto& line : {com1, com2, com5})
        EXPECT_EQ(line->written, kHealthFrame);
    EXPECT_EQ(g_lampCalls, 3); // lit by each frame that went out
}

TEST_F(SendPacketTest, ClosedDisplayPortGetsNothingAndTxStaysAsItWas)
{
    auto com1 = AttachOrdered(0);
    DisplayPort = 3;
    RequestHealth(TX_DEFAULT);
    RequestHealth(2); // the same slot named directly
    RequestHealth(16); // no such slot
    EXPECT_TRUE(com1->written.empty());
    EXPECT_EQ(g_lampCalls, 0);

    DisplayPort = 0; // not chosen yet
    RequestHealth(TX_DEFAULT);
    EXPECT_TRUE(com1->written.empty());
    EXPECT_EQ(g_lampCalls, 0);
}

TEST_F(SendPacketTest, TxLampStaysDarkWhenNothingGoesOut)
{
    RequestHealth(TX_ALL); // no port open
    EXPECT_TRUE(g_writeOrder.empty());
    auto com1 = AttachOrdered(0);
    com1->gone = true; // a write that fails
    RequestHealth(TX_ALL);
    EXPECT_EQ(g_lampCalls, 0);
    EXPECT_TRUE(PortTable[0].lost);
}

TEST_F(SendPacketTest, SlotArgumentIgnoresTxAll)
{
    auto com1 = AttachOrdered(0);
    auto com4 = AttachOrdered(3);
    TxAllLit = true;
    RequestHealth(3);
    EXPECT_EQ(com4->written, kHealthFrame);
    EXPECT_TRUE(com1->written.empty());
}

// Each sender's frame on the display port (COM1). Values are chosen so that
// no byte needs stuffing unless the row says so; floats: 0.5 = 3F000000,
// -2.0 = C0000000, 100.0 = 42C80000, 1.0 = 3F800000, 10 degrees = 3E32B8C3.
struct SenderCase {
    const char* name;
    std::function<void()> send;
    Bytes frame;
};

Bytes Frame(Bytes message)
{
    message.insert(message.begin(), 0x10);
    message.push_back(0x10);
    message.push_back(0x03);
    return message;
}

const Bytes kTriple = {0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x42, 0xC8, 0, 0};

Bytes WithId(uint8_t id, const Bytes& rest)
{
    Bytes m = {id};
    m.insert(m.end(), rest.begin(), rest.end());
    return m;
}

TEST(Senders, EverySenderWritesItsMessage)
{
    const uint8_t io[4] = {0x16, 0x02, 0x01, 0x00};
    const uint8_t filters[3] = {1, 0, 1};
    const uint8_t block[2] = {0xAB, 0xCD};
    GpsConfigRecord gps{4, 3, 1, static_cast<float>(10 * 0.01745329277777778), 4.0f, 12.0f, 8.0f, 30};
    SerialConfigRecord serial{0, 8, 3, 1, 0, 2, 4, 0};
    const Bytes ff4(4, 0xFF);
    Bytes gpsMessage = {0xBB, 0x03, 4, 3, 1};
    gpsMessage.insert(gpsMessage.end(), 11, 0xFF);
    for (const Bytes& part : {Bytes{0x3E, 0x32, 0xB8, 0xC3}, Bytes{0x40, 0x80, 0, 0}, Bytes{0x41, 0x40, 0, 0},
                              Bytes{0x41, 0x00, 0, 0}, ff4, Bytes{30}, ff4})
        gpsMessage.insert(gpsMessage.end(), part.begin(), part.end());
    ASSERT_EQ(gpsMessage.size(), 41u);

    const SenderCase cases[] = {
        {"cold", [] { SendColdReset(TX_DEFAULT); }, Frame({0x1E, 0x4B})},
        {"factory", [] { SendResetMode(TX_DEFAULT, 0x46); }, Frame({0x1E, 0x46})},
        {"version", [] { RequestVersion(TX_DEFAULT); }, Frame({0x1F})},
        {"time", [] { RequestTime(TX_DEFAULT); }, Frame({0x21})},
        {"initXYZ", [] { SendInitialPosXYZ(TX_DEFAULT, 0.5f, -2.0f, 100.0f); }, Frame(WithId(0x23, kTriple))},
        {"satsel", [] { RequestSatSelection(TX_DEFAULT); }, Frame({0x24})},
        {"soft", [] { SendSoftReset(TX_DEFAULT); }, Frame({0x25})},
        {"health", [] { RequestHealth(TX_DEFAULT); }, Frame({0x26})},
        {"initLLA", [] { SendInitialPosLLA(TX_DEFAULT, 0.5f, -2.0f, 100.0f); }, Frame(WithId(0x2B, kTriple))},
        {"gpstime", [] { SendGpsTime(TX_DEFAULT, 1.0f, 1042); }, Frame({0x2E, 0x3F, 0x80, 0, 0, 0x04, 0x12})},
        {"accXYZ", [] { SendAccuratePosXYZ(TX_DEFAULT, 0.5f, -2.0f, 100.0f); }, Frame(WithId(0x31, kTriple))},
        {"accLLA", [] { SendAccuratePosLLA(TX_DEFAULT, 0.5f, -2.0f, 100.0f); }, Frame(WithId(0x32, kTriple))},
        {"ioReq", [] { RequestIoOptions(TX_DEFAULT); }, Frame({0x35})},
        {"ioSet", [&] { SendIoOptions(TX_DEFAULT, io); }, Frame({0x35, 0x16, 0x02, 0x01, 0x00})},
        {"sysReq", [] { RequestSystemData(TX_DEFAULT, 2, 32); }, Frame({0x38, 0x01, 0x02, 0x20})},
        {"sysLoad", [&] { LoadSystemData(TX_DEFAULT, 6, 5, 2, block); },
         Frame({0x38, 0x02, 0x06, 0x05, 0x02, 0xAB, 0xCD})},
        {"sysLoad0", [] { LoadSystemData(TX_DEFAULT, 3, 0, 0, nullptr); }, Frame({0x38, 0x02, 0x03, 0x00, 0x00})},
        {"track", [] { RequestTracking(TX_DEFAULT); }, Frame({0x3C, 0x00})},
        {"dgps", [] { RequestDgpsMode(TX_DEFAULT); }, Frame({0x62, 0x04})},
        {"filtReq", [] { RequestFilters(TX_DEFAULT); }, Frame({0x70})},
        {"filtSet", [&] { SendFilters(TX_DEFAULT, filters); }, Frame({0x70, 1, 0, 1, 0})},
        {"gpsReq", [] { RequestGpsConfig(TX_DEFAULT); }, Frame({0xBB, 0x03})},
        {"gpsSet", [&] { SendGpsConfig(TX_DEFAULT, gps); }, Frame(gpsMessage)},
        {"serReq", [] { RequestSerialConfig(TX_DEFAULT, 1); }, Frame({0xBC, 0x01})},
        {"serSet", [&] { SendSerialConfig(TX_DEFAULT, serial); }, Frame({0xBC, 0, 8, 8, 3, 1, 0, 0, 2, 4, 0})},
        {"datumReq", [] { RequestDatum(TX_DEFAULT); }, Frame({0x8E, 0x15})},
        {"datumSet", [] { SendDatum(TX_DEFAULT, 0x0110); }, {0x10, 0x8E, 0x15, 0x01, 0x10, 0x10, 0x10, 0x03}},
        {"flash", [] { SendSaveToFlash(TX_DEFAULT); }, Frame({0x8E, 0x26})},
    };
    auto com1 = AttachFakeSerial(0);
    DisplayPort = 1;
    for (const SenderCase& c : cases) {
        com1->written.clear();
        c.send();
        EXPECT_EQ(com1->written, c.frame) << c.name;
    }
}

TEST(Senders, IoOptionsRebindTheLogTriggerOfEveryPortTheyGoTo)
{
    auto com2 = AttachFakeSerial(1);
    auto com3 = AttachFakeSerial(2);
    DisplayPort = 2;
    const uint8_t io[4] = {0x02, 0x02, 0x00, 0x00};
    SendIoOptions(TX_DEFAULT, io);
    EXPECT_EQ(LogTriggerId[1], 1);
    EXPECT_EQ(LogTriggerId[2], 0); // not sent there
    EXPECT_TRUE(com3->written.empty());

    SendIoOptions(2, io);
    EXPECT_EQ(LogTriggerId[2], 1);

    LogTriggerId.fill(0);
    TxAllLit = true;
    SendIoOptions(TX_DEFAULT, io);
    EXPECT_FALSE(com3->written.empty());
    EXPECT_EQ(LogTriggerId[1], 1);
    EXPECT_EQ(LogTriggerId[2], 1); // its receiver changed too: it binds again
    EXPECT_EQ(LogTriggerId[0], 0); // closed: nothing went there

    LogTriggerId.fill(0);
    TxAllLit = false;
    SendIoOptions(TX_ALL, io);
    EXPECT_EQ(LogTriggerId[1], 1);
    EXPECT_EQ(LogTriggerId[2], 1);
}

} // namespace
