// COM numbers for Linux devices: command-line mapping, the order of the
// devices present, and the port list built from the mapping.
#include <gtest/gtest.h>

#include <filesystem>

#include <sstream>

#include "link/port_table.h"
#include "platform/port_enumeration.h"
#include "support/temp_dir.h"

namespace {

std::vector<int> MappedComs()
{
    std::vector<int> coms;
    for (const ComMapping& m : CurrentComMapping())
        coms.push_back(m.com);
    return coms;
}

TEST(ComArguments, ExplicitAndBareDevicesAreMappedAndTakenOut)
{
    std::vector<std::string> args = {"-c3", "/dev/ttyA", "--com3=/dev/ttyB", "-m", "/dev/ttyC", "--com1=/dev/ttyD"};
    std::string error;
    ASSERT_TRUE(TakeComArguments(args, &error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"-c3", "-m"}));
    // Explicit numbers first; bare devices take the lowest numbers left, in their order.
    EXPECT_EQ(ComDevicePath(1), "/dev/ttyD");
    EXPECT_EQ(ComDevicePath(2), "/dev/ttyA");
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyB");
    EXPECT_EQ(ComDevicePath(4), "/dev/ttyC");
    EXPECT_EQ(ComDevicePath(5), "");
    EXPECT_EQ(SerialPortNames(), (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4"}));
}

TEST(ComArguments, NetworkPortsAreMappedLikeDevicesAndListedWithTheirUrl)
{
    std::vector<std::string> args = {"rfc2217://[::1]:2001", "--com2=tcp://127.0.0.1:2000", "/dev/ttyA",
                                     "tcp://gps-roof.example:4001", "-c2"};
    std::string error;
    ASSERT_TRUE(TakeComArguments(args, &error)) << error;
    EXPECT_EQ(args, (std::vector<std::string>{"-c2"}));
    EXPECT_EQ(ComDevicePath(1), "rfc2217://[::1]:2001");
    EXPECT_EQ(ComDevicePath(2), "tcp://127.0.0.1:2000");
    EXPECT_EQ(ComDevicePath(3), "/dev/ttyA");
    EXPECT_EQ(ComDevicePath(4), "tcp://gps-roof.example:4001");
    std::ostringstream listing;
    PrintComMapping(listing);
    EXPECT_NE(listing.str().find("COM1  rfc2217://[::1]:2001  network port, Telnet RFC 2217\n"), std::string::npos)
        << listing.str();
    EXPECT_NE(listing.str().find("COM2  tcp://127.0.0.1:2000  network port, raw TCP\n"), std::string::npos);
}

TEST(ComArguments, BoundsOfTheComNumber)
{
    std::vector<std::string> args = {"--com16=/dev/ttyX", "--com1=/dev/ttyY"};
    ASSERT_TRUE(TakeComArguments(args, nullptr));
    EXPECT_EQ(MappedComs(), (std::vector<int>{1, 16}));
}

// Bare devices and URLs; the --comN= forms share their table with the saved file (e2e/port_mapping_test).
TEST(ComArguments, BadBareArgumentsAreRefusedWithAReason)
{
    struct Case {
        std::vector<std::string> args;
        const char* expectInError;
    };
    const Case cases[] = {
        {{"/dev/ttyX", "--com2=/dev/ttyX"}, "/dev/ttyX is already mapped to COM2"},
        {{"rfc2217://::1:4000"}, "IPv6 address in brackets"},
        {{"--com2=tcp://h:1", "tcp://h:1"}, "tcp://h:1 is already mapped to COM2"},
        {{"TCP:/h:1"}, "tcp://HOST:PORT"},
    };
    for (const Case& c : cases) {
        ClearComMapping();
        std::vector<std::string> args = c.args;
        std::string error;
        EXPECT_FALSE(TakeComArguments(args, &error)) << c.args[0];
        EXPECT_NE(error.find(c.expectInError), std::string::npos) << error;
        EXPECT_TRUE(args.empty()) << c.args[0];
    }
}

TEST(ComArguments, SeventeenthBareDeviceFindsNoFreeNumber)
{
    std::vector<std::string> args;
    for (int i = 0; i < 17; ++i)
        args.push_back("/dev/ttyQ" + std::to_string(i));
    std::string error;
    EXPECT_FALSE(TakeComArguments(args, &error));
    EXPECT_NE(error.find("/dev/ttyQ16"), std::string::npos) << error;
    EXPECT_EQ(CurrentComMapping().size(), 16u);
}

TEST(PresentDevices, OrderIsUsbThenAcmThenUartsEachByNumber)
{
    const std::vector<std::string> names = {"ttyS10", "ttyUSB10", "ttyS2", "ttyACM0", "ttyUSB2",
                                            "tty1",   "ttySX",    "ttyUSB", "null",   "ttyACM11", "ttyACM3"};
    EXPECT_EQ(OrderSerialDeviceNames(names),
              (std::vector<std::string>{"ttyUSB2", "ttyUSB10", "ttyACM0", "ttyACM3", "ttyACM11", "ttyS2", "ttyS10"}));
}

TEST(PresentDevices, MappingKeepsExplicitNumbersAndGivesOutTheRest)
{
    const std::vector<std::string> present = PresentSerialDevices();
    for (const std::string& path : present)
        EXPECT_EQ(path.rfind("/dev/tty", 0), 0u) << path;

    SetComDevice(1, "/dev/ttyExplicit");
    MapPresentDevices();
    EXPECT_EQ(ComDevicePath(1), "/dev/ttyExplicit");
    const size_t expected = std::min<size_t>(present.size(), 15);
    ASSERT_EQ(CurrentComMapping().size(), 1 + expected);
    for (size_t i = 0; i < expected; ++i)
        EXPECT_EQ(ComDevicePath(static_cast<int>(i) + 2), present[i]);
    // A second pass maps nothing twice.
    MapPresentDevices();
    EXPECT_EQ(CurrentComMapping().size(), 1 + expected);
}

TEST(PresentDevices, ListingPrintsOneLinePerCom)
{
    SetComDevice(3, "/dev/ttyNotThere0");
    SetComDevice(12, "/dev/ttyNotThere1");
    std::ostringstream out;
    PrintComMapping(out);
    EXPECT_EQ(out.str(), "COM3  /dev/ttyNotThere0\nCOM12  /dev/ttyNotThere1\n");
}

TEST(PresentDevices, StableLinkIsTheByIdNameThatLeadsToTheNode)
{
    TempDir dir;
    const std::string byId = dir.file("by-id");
    std::filesystem::create_directory(byId);
    WriteFileText(dir.file("ttyUSB1"), "");
    WriteFileText(dir.file("ttyUSB2"), "");
    const std::string link = byId + "/usb-Maker_GPS_123-if00-port0";
    std::filesystem::create_symlink(dir.file("ttyUSB1"), link);
    EXPECT_EQ(StableDeviceLink(dir.file("ttyUSB1"), byId), link);
    EXPECT_EQ(StableDeviceLink(dir.file("ttyUSB2"), byId), "");
    EXPECT_EQ(StableDeviceLink(link, byId), "") << "already mapped through the link";
    EXPECT_EQ(StableDeviceLink(dir.file("gone"), byId), "");
}

TEST(PortList, TakesMappedComsInAscendingOrder)
{
    SetComDevice(17, "/dev/ttyHigh");
    SetComDevice(3, "/dev/ttyB");
    SetComDevice(1, "/dev/ttyA");
    std::array<int32_t, kPortSlots> list{};
    EXPECT_EQ(ReadPortList(list, 16), 2);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 3);
}

TEST(PortList, EmptyMappingGivesMinusOne)
{
    std::array<int32_t, kPortSlots> list{};
    EXPECT_EQ(ReadPortList(list, 16), -1);
}

TEST(PortList, AllSixteenAndTheLimitOfTheHighestCom)
{
    for (int com = 16; com >= 1; --com)
        SetComDevice(com, "/dev/ttyZ" + std::to_string(com));
    std::array<int32_t, kPortSlots> list{};
    ASSERT_EQ(ReadPortList(list, 16), 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(list[static_cast<size_t>(i)], i + 1);
    EXPECT_EQ(ReadPortList(list, 4), 4);
    EXPECT_EQ(list[3], 4);
}

} // namespace
